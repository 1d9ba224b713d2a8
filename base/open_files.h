#pragma once
#include <QFile>
#include <set>

// The files the program holds open. A command closes only the files it opened itself;
// the exit closes them all at once.
class Open_files {
  public:
    void add(QFile* f) { files_.insert(f); }
    void remove(QFile* f) { files_.erase(f); }
    void close_all() {
        for (QFile* f : files_) f->close();
    }
    std::size_t count() const { return files_.size(); }

  private:
    std::set<QFile*> files_;
};

// A file registered with Open_files for as long as this object lives.
class Tracked_file : public QFile {
  public:
    Tracked_file(Open_files& registry, const QString& name) : QFile(name), registry_(registry) {
        registry_.add(this);
    }
    ~Tracked_file() override { registry_.remove(this); }
    Tracked_file(const Tracked_file&) = delete;
    Tracked_file& operator=(const Tracked_file&) = delete;

  private:
    Open_files& registry_;
};
