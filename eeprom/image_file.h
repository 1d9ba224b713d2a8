#pragma once
#include <QString>

#include "base/open_files.h"

// An image file written under a temporary name in the same folder, so that a read that
// does not finish never touches the file the user named: the finished image is renamed
// over that name, an unfinished one is kept as "<name>.partial".
class Image_file {
  public:
    Image_file(Open_files& files, const QString& name);
    ~Image_file();
    Image_file(const Image_file&) = delete;
    Image_file& operator=(const Image_file&) = delete;

    static QString temp_name(const QString& name) { return name + QStringLiteral(".tmp"); }
    static QString partial_name(const QString& name) { return name + QStringLiteral(".partial"); }

    // Creates (or empties) the temporary file. False when it cannot be created.
    bool create();
    // Appends the text as 8-bit characters and CR LF, handed to the system at once. False
    // when it could not be written (disk full, file closed under the read); a line written
    // in part is cut off again, so the file holds whole lines only.
    bool write_line(const QString& text);
    int lines_written() const { return lines_; }
    // Closes the file and puts it in place of the named one. False on a failure; the
    // temporary file is then still there for keep_partial().
    bool commit();
    // Closes the file and keeps what was written as "<name>.partial", replacing an older
    // one; a file with nothing in it is removed instead. Returns the name kept, or empty.
    QString keep_partial();

  private:
    QString name_;
    Tracked_file file_;
    int lines_ = 0;
    qint64 whole_lines_size_ = 0;
    bool created_ = false;
    bool settled_ = false;  // committed or kept: the temporary name is gone
};
