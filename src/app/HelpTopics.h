#pragma once
// The sections of the user manual that F1 opens in each window: the ids of their headings,
// the same in the Russian and the English manual (Help/Lum1RusHelp.html, Help/Lum1EngHelp.html).

#include <array>

namespace lum1::HelpTopic {

inline constexpr char MainWindow[] = "window";
inline constexpr char Report[] = "report";
inline constexpr char Screen[] = "screen";
inline constexpr char Chart[] = "chart";
inline constexpr char Language[] = "language";
inline constexpr char Messages[] = "messages";
inline constexpr char About[] = "about";

inline constexpr std::array<const char*, 7> All{MainWindow, Report, Screen, Chart, Language, Messages, About};

} // namespace lum1::HelpTopic
