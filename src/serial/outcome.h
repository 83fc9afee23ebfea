#pragma once

#include <QString>

#include <optional>
#include <utility>

namespace qpv {

// What an operation of the line gives back: success, or the sentence that tells the operator
// what failed and what to do about it. The one shape of every error the line reports.
class [[nodiscard]] Outcome {
public:
    Outcome() = default; // success
    static Outcome failure(QString sentence) { return Outcome(std::move(sentence)); }

    bool ok() const { return !m_sentence; }
    const QString& sentence() const
    {
        static const QString none;
        return m_sentence ? *m_sentence : none;
    }

private:
    explicit Outcome(QString sentence)
        : m_sentence(std::move(sentence))
    {
    }
    std::optional<QString> m_sentence;
};

} // namespace qpv
