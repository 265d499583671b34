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
inline constexpr char Acceptance[] = "acceptance";
inline constexpr char Correlation[] = "correlation";
inline constexpr char ReportHeader[] = "report-header";
inline constexpr char AcceptanceReport[] = "acceptance-report";
inline constexpr char Archive[] = "archive";

inline constexpr std::array<const char*, 12> All{MainWindow,  Report,       Screen,           Chart,
                                                 Language,    Messages,     About,            Acceptance,
                                                 Correlation, ReportHeader, AcceptanceReport, Archive};

} // namespace lum1::HelpTopic
