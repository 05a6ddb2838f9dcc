#pragma once

#include <filesystem>
#include <string>

namespace tarsik::testing {

// What happens at the chosen open.
enum class FileFault {
    openFails,      // EIO
    readFails,      // the open succeeds, every read fails (EISDIR)
    folderVanishes, // the watched folder is deleted just before, as when a GPU is unplugged
};

// Injects one fault into the file opens that the code under test makes through open(2), which
// this test program replaces: the `at`-th open (from 0) of a path under `watched` gets `fault`.
// Counts the opens under `watched` either way. One at a time, on one thread.
class FileFaults {
  public:
    FileFaults(std::filesystem::path watched, FileFault fault, int at);
    ~FileFaults();

    FileFaults(const FileFaults&) = delete;
    FileFaults& operator=(const FileFaults&) = delete;

    int opens() const;
    bool struck() const { return opens() > at_; }
    // The path whose open got the fault; empty before it struck.
    std::string struckPath() const;

  private:
    int at_;
};

} // namespace tarsik::testing
