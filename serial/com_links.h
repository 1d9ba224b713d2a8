#pragma once
#include <QDir>
#include <QString>
#include <vector>

// A comN entry of the working folder: what COM n stands for on Linux.
struct Com_link {
    int n = 0;
    QString path;    // the folder's comN
    QString target;  // where the link points as written in it; empty for a regular file
    QString device;  // the real device behind it; the target when it points at nothing
    bool is_link = true;
    bool dangling = false;  // a link to nothing: the converter is not plugged in
};

// The comN entries (N 1 to 16) of folder, by number. Always empty on Windows.
std::vector<Com_link> com_links(const QDir& folder);

// The COM number a pick uses unless the user chooses another: the number in the box when it
// is 1 to 16, else the first number with no comN in the folder, else 1.
int default_com_number(const QString& box_text, const std::vector<Com_link>& links);

// Makes folder/comN a link to target, replacing only an older link of that name. Empty on
// success; otherwise one line telling why, and nothing has changed.
QString make_com_link(const QDir& folder, int n, const QString& target);

// The number n of a Windows port name COMn, or 0.
int windows_com_number(const QString& port_name);
