#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace sbk3 {

// Moves file into the desktop's trash by the freedesktop.org trash rules, as file managers do:
// its restore record (NAME.trashinfo: where it was, when it went) is written whole and flushed
// first, then the file is renamed into the trash, never copied. A file on the home folder's file
// system goes to the home trash ($XDG_DATA_HOME/Trash, else ~/.local/share/Trash); one on another
// file system to the trash at the top of that file system ($top/.Trash/UID where the
// administrator made one, else $top/.Trash-UID), as file managers do, since a rename cannot cross
// file systems. Every step is bounded: where the record cannot be written in full, or the file
// cannot be moved, nothing is moved and nothing is left behind, and the reason is returned.
std::optional<std::string> moveToTrash(const std::filesystem::path& file);

// The record's Path: the path's bytes, with every byte outside the unreserved characters and '/'
// escaped as %XX, so a name in any bytes is restored exactly.
std::string trashInfoPath(const std::string& bytes);

} // namespace sbk3
