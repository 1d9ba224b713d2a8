#pragma once
#include <QString>
#include <QStringList>
#include <memory>

#include "eeprom/dump_sink.h"

class Open_files;
class Image_file;
class Transfer_view;

// The backup's sink: each line becomes a "#" data record of the .eep file (shown in the hint
// line as written), the finish adds the trailer and puts the file in place of the named one;
// an unfinished file is kept as "<name>.partial".
class Eep_file_sink : public Dump_sink {
  public:
    Eep_file_sink(Open_files& files, const QString& name, Transfer_view& view);
    ~Eep_file_sink() override;
    Eep_file_sink(const Eep_file_sink&) = delete;
    Eep_file_sink& operator=(const Eep_file_sink&) = delete;

    void open() override;
    void take(int address, QStringView data) override;
    void finish(const eep::Model& model) override;
    void abandon() override;

  private:
    void write_lines(const QStringList& lines);

    Open_files& files_;
    QString name_;
    Transfer_view& view_;
    std::unique_ptr<Image_file> image_;  // until kept or saved
    int records_ = 0;
};
