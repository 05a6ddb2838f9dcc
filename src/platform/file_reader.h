#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarsik::platform {

// Reads at most `maxBytes` of a file. Nothing on any error (missing, EACCES, EIO, a directory).
// Sysfs attributes are at most a page long, so the default bound only guards against odd files.
std::optional<std::string> readFile(const std::filesystem::path& path, std::size_t maxBytes = 4096);

// A sysfs attribute as text, leading and trailing white space removed. Nothing when unreadable.
std::optional<std::string> readAttribute(const std::filesystem::path& path);

// The attribute parsed as an unsigned number: "0x"-prefixed hexadecimal, else decimal.
// Junk, signs, overflow and empty text give nothing.
std::optional<std::uint64_t> readUnsignedAttribute(const std::filesystem::path& path);

// The basename of a symbolic link's target ("amdgpu" for driver -> ../../bus/pci/drivers/amdgpu).
std::optional<std::string> readLinkName(const std::filesystem::path& path);

// The entries of a folder whose names start with `prefix`, in name order; none when it cannot be
// listed.
std::vector<std::filesystem::path> entriesStartingWith(const std::filesystem::path& folder,
                                                       std::string_view prefix);

std::string_view trimmed(std::string_view text);

// Whole-text parsers: the text must be exactly one number, nothing more.
std::optional<std::uint64_t> parseUnsigned(std::string_view text, int base = 10);
std::optional<std::int64_t> parseSigned(std::string_view text);
// "0x1002" or "1002" (both hexadecimal).
std::optional<std::uint64_t> parseHex(std::string_view text);

} // namespace tarsik::platform
