#include "support/fixture_tree.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace tarsik::testing {

FixtureTree::FixtureTree(std::string_view machine) {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarsik-fixture-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("mkdtemp failed");
    }
    root_ = pattern;
    if (!machine.empty()) {
        std::filesystem::copy(std::filesystem::path(TARSIK_FIXTURES_DIR) / "sysfs" / machine, root_,
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::copy_symlinks);
    }
}

FixtureTree::~FixtureTree() {
    std::error_code error;
    std::filesystem::remove_all(root_, error);
}

void FixtureTree::write(std::string_view relative, std::string_view content) const {
    const auto file = path(relative);
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary | std::ios::trunc) << content;
}

void FixtureTree::remove(std::string_view relative) const {
    std::filesystem::remove_all(path(relative));
}

void FixtureTree::makeUnreadable(std::string_view relative) const {
    remove(relative);
    std::filesystem::create_directories(path(relative));
}

} // namespace tarsik::testing
