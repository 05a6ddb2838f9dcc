#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tarsik::platform {

// Where the sources say why they gave nothing: a missing library, a failing helper, a file that
// could not be read. Silent until the program routes the lines somewhere.
using DiagnosticSink = std::function<void(std::string_view line)>;

// Replaces the sink; an empty one silences the lines again.
void setDiagnosticSink(DiagnosticSink sink);

// Hands one event, one line without its end, to the sink. Any thread may call it; lines never
// interleave.
void diagnose(std::string_view line);

// Writes each line to standard error as "tarsik: <line>", each distinct line once.
DiagnosticSink standardErrorSink();

// The text of an errno value ("Permission denied").
std::string errorText(int error);

} // namespace tarsik::platform
