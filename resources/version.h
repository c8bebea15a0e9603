// The facts of the program's version record. The numeric version is the
// CMake project version (1.0.0.1); these are its texts.
#pragma once

inline constexpr char kVersionText[] = "1, 0, 0, 1";
inline constexpr char kVersionInternalName[] = "TreskViewer";
inline constexpr char kVersionOriginalFilename[] = "TreskViewer.EXE";
inline constexpr char kVersionFileDescription[] = "TreskViewer Applicazione MFC";
inline constexpr char kVersionProductName[] = "TreskViewer Applicazione";
inline constexpr char kVersionLanguage[] = "Italiano";
