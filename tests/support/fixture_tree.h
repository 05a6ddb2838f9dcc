#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarsik::testing {

// A private copy of tests/fixtures/sysfs/<machine> in a temporary folder, removed afterwards,
// so a test may delete, truncate or replace any file of it.
class FixtureTree {
  public:
    explicit FixtureTree(std::string_view machine);
    ~FixtureTree();

    FixtureTree(const FixtureTree&) = delete;
    FixtureTree& operator=(const FixtureTree&) = delete;

    const std::filesystem::path& root() const { return root_; }
    std::filesystem::path path(std::string_view relative) const { return root_ / relative; }

    void write(std::string_view relative, std::string_view content) const;
    void remove(std::string_view relative) const;
    // Replaces a file by a folder of the same name: reading it then fails (EISDIR) even as root,
    // where chmod 000 would not stop a read.
    void makeUnreadable(std::string_view relative) const;

  private:
    std::filesystem::path root_;
};

} // namespace tarsik::testing
