#pragma once
#include <QString>
#include <functional>

using File_exists = std::function<bool(const QString&)>;

// A file shipped with the program, for a program in app_dir: beside the program (a build
// tree), else under ../share/vimbo/ (an installed program, share_name relative to it).
// When neither exists, the installed location.
QString shipped_file_path(const QString& app_dir, const QString& beside_name,
                          const QString& share_name, const File_exists& exists);

// The command examples file to read for its bare name: the technician's own copy in the
// current folder wins; else the one shipped with the program; else the bare name, so that
// the "not found" message names it as before.
QString examples_file_to_read(const QString& name, const QString& app_dir,
                              const File_exists& exists);

// Whether a regular file is at path.
bool is_file(const QString& path);
