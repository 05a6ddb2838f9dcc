#pragma once

// Who made the program and where to reach them: the one place these are kept.
namespace tarsik::ProjectLinks {

inline constexpr const char* authorCreditLine = "Made by the Tarsik developers";
inline constexpr const char* contactEmail = "hello@tarsik.org";
inline constexpr const char* contactURL = "mailto:hello@tarsik.org";
inline constexpr const char* donationPage = "https://tarsik.org/donate";

} // namespace tarsik::ProjectLinks
