// Text files named by Windows paths, mapped onto this machine's file system.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>

// "c:\ToonPacks\Tarnik.txt" -> <root>/c/ToonPacks/Tarnik.txt, the drive letter as a
// lower-case folder and each backslash a folder separator; <root> is $TARNIK_DRIVES,
// else the user's data folder. A path without a drive ("sortconfig.xml", "Cfg\x.xml")
// is relative to the current folder; "\Name" is on drive c. A path that already uses "/"
// (a module path on this machine) is returned unchanged. As on Windows, ".." never climbs
// above a drive, the name ends at a zero character, and a folder or file that exists in
// another letter case ("c:\toonpacks" for .../c/ToonPacks) is found.
std::filesystem::path MapWindowsPath(std::string_view windowsPath);

// The folder that holds mapped drives.
std::filesystem::path DrivesRoot();

// The user's data folder for Tarnik: $XDG_DATA_HOME/tarnik or ~/.local/share/tarnik.
std::filesystem::path UserDataFolder();

// Text mode as on Windows: each "\n" written becomes "\r\n"; a "\r\n" already there stays.
std::string ToTextMode(std::string_view text);

// The day a file was last written, as "YYYY-MM-DD" in local time; empty when unknown.
std::string LocalDateWritten(const std::filesystem::path& file);
// The system's local time of `seconds`; false when it has none.
bool LocalTime(std::time_t seconds, std::tm& local);

// Writes the file whole or not at all: the bytes go to a temporary file in the same
// folder, which is flushed and renamed over the target. False (and the old file left
// as it was, no temporary left) when any step fails; `error` then says why. The folder
// must exist; a replaced file keeps its permissions, and a symbolic link keeps pointing
// at the new contents. The temporary, "<name>.tmp-<process>-<number>", is held under an
// exclusive flock by its writer until it is renamed or removed.
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes,
                                       std::error_code& error);
[[nodiscard]] bool WriteFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Removes the temporaries that writes of `path` left behind when their process died
// part-way: those of its name that no live writer holds locked (the system drops a
// killed process's locks). Other files, and anything that is not a regular file, stay.
// The number removed.
std::size_t RemoveAbandonedTemporaries(const std::filesystem::path& path);
