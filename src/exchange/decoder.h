#pragma once

#include "exchange/codetables.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qpv {

enum class DecoderKind { CodeTable, LampHours, Temperatures, EchoCopy, Pressure };

// One query whose reply is decoded: the command as typed or sent by its button, how its
// reply is read and, for the code-table decoders, the table.
struct DecoderEntry {
    std::string_view query;
    DecoderKind kind;
    std::span<const CodeRow> table;
};

// The decoder for the command last sent: the entry whose frame (prefix, query, CR) equals
// txCommand, or none.
const DecoderEntry* chooseDecoder(std::string_view prefix, std::string_view txCommand);

// Decodes the echo of everything received, against the command last sent, into the STATUS
// text. Nothing when no decoder is chosen or the decoder finds nothing to show: the STATUS line
// keeps its text.
std::optional<std::string> decodeReply(std::string_view prefix, std::string_view txCommand,
                                       std::string_view echo);

} // namespace qpv
