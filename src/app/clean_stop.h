#pragma once

#include <QCoreApplication>

namespace tarsik {

// For a log that runs until it is stopped: Ctrl+C (SIGINT), SIGTERM, or the reader of standard
// output going away (`| head`) end the process with status 0. The loop runs between whole
// lines, so output stops at a line's end. A write to a closed pipe then fails with EPIPE rather
// than killing the process.
void stopCleanlyOnInterruptOrClosedOutput(QCoreApplication& app);

} // namespace tarsik
