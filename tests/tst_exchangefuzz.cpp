#include "exchange/decoder.h"
#include "exchange/echo.h"
#include "exchange/numberreader.h"
#include "testbytes.h"

#include <QRandomGenerator>
#include <QTest>

#include <algorithm>
#include <array>

using namespace qpv;

namespace {

constexpr std::array kQueries = {"TABN   1", "TLPS   1", "POWR????", "CR4", "TLTT   1",
                                 "CR6",      "CRA",      "CR9",      "CR PRESSURE", "CR7"};

// Random bytes biased towards what a confused line produces: control characters, NUL,
// bytes above ASCII, digits and the reply characters the tables look for.
std::string randomReply(QRandomGenerator& random)
{
    static constexpr std::string_view kFavoured = "0123456789ABCDEF&H.E-+ \r\n\t\x06\x14";
    const std::uint32_t sizes[] = {0, 1, 2, 3, 8, 20, 200};
    std::uint32_t size = sizes[random.bounded(std::uint32_t{std::size(sizes)})];
    if (random.bounded(50) == 0)
        size = random.bounded(70000u);
    std::string text(size, '\0');
    for (char& c : text) {
        c = random.bounded(2) == 0 ? kFavoured[random.bounded(std::uint32_t(kFavoured.size()))]
                                   : static_cast<char>(random.bounded(256));
    }
    return text;
}

bool isTableText(std::span<const CodeRow> table, std::string_view text)
{
    return std::any_of(table.begin(), table.end(),
                       [&](const CodeRow& row) { return row.text == text; });
}

} // namespace

class TestExchangeFuzz : public QObject {
    Q_OBJECT

private slots:
    void randomRepliesKeepTheInvariants();
    void receiveBufferEchoMatchesARenderingFromScratch();
};

void TestExchangeFuzz::receiveBufferEchoMatchesARenderingFromScratch()
{
    // Pieces of every size, so the buffer crosses its cap again and again.
    QRandomGenerator random(7100);
    EchoedText buffer;
    for (int round = 0; round < 400; ++round) {
        if (random.bounded(60) == 0)
            buffer.clear();
        buffer.append(randomReply(random));
        QVERIFY(buffer.text().size() <= kTextCap);
        QVERIFY(buffer.echo() == renderEcho(buffer.text()));
    }
}

void TestExchangeFuzz::randomRepliesKeepTheInvariants()
{
    QRandomGenerator random(20261206);
    for (int round = 0; round < 3000; ++round) {
        const std::string reply = randomReply(random);
        const std::string echo = renderEcho(reply);

        QVERIFY(echo.starts_with(' '));
        QVERIFY(echo.size() <= 1 + 4 * kTextCap);
        QVERIFY(std::all_of(echo.begin(), echo.end(),
                            [](char c) { return c >= ' ' && c <= 'z'; }));

        for (const char* query : kQueries) {
            const std::string frame = frameCommand("", query);
            const DecoderEntry* entry = chooseDecoder("", frame);
            QVERIFY(entry);
            const std::optional<StatusUpdate> update = decodeReply("", frame, echo);
            if (!update) {
                QVERIFY(entry->kind == DecoderKind::CodeTable ||
                        entry->kind == DecoderKind::Pressure);
                continue;
            }
            const std::string& text = update->text;
            switch (entry->kind) {
            case DecoderKind::CodeTable:
                QVERIFY2(isTableText(entry->table, text), text.c_str());
                break;
            case DecoderKind::LampHours:
                QCOMPARE(bytes(text), bytes(echo.substr(0, 38)) + " Hour Use");
                break;
            case DecoderKind::Temperatures:
                QVERIFY(text.starts_with("  S1=") && text.ends_with(" C"));
                QVERIFY(text.size() <= 5 + 10 + 12 + 8 + 2);
                break;
            case DecoderKind::EchoCopy:
                QCOMPARE(text, echo);
                break;
            case DecoderKind::Pressure:
                QVERIFY(update->pressureValue);
                QCOMPARE(bytes(text), QByteArray::number(*update->pressureValue) + " hPa");
                break;
            }
        }
    }
}

QTEST_APPLESS_MAIN(TestExchangeFuzz)
#include "tst_exchangefuzz.moc"
