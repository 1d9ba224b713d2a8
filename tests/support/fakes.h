#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

#include "app/dialogs.h"
#include "app/editor_launcher.h"

// Dialogs that record what they show and answer as the test scripted.
class Fake_dialogs : public Dialogs {
  public:
    struct Input {
        QString prompt, title, default_answer;
    };
    void message_box(const QString& text) override {
        boxes.push_back(text);
        if (on_box) on_box(text);
    }
    QString input_box(const QString& prompt, const QString& title,
                      const QString& default_answer) override {
        inputs.push_back({prompt, title, default_answer});
        if (answers.empty()) return {};
        auto next = std::move(answers.front());
        answers.erase(answers.begin());
        return next();
    }
    void answer(const QString& text) {
        answers.push_back([text] { return text; });
    }
    std::vector<QString> boxes;
    std::vector<Input> inputs;
    std::vector<std::function<QString()>> answers;  // empty answer = Cancel
    std::function<void(const QString&)> on_box;
};

class Fake_editor : public Editor_launcher {
  public:
    bool start_detached(const QString& program, const QStringList& arguments) override {
        started.push_back(QStringList{program} + arguments);
        return can_start;
    }
    std::vector<QStringList> started;
    bool can_start = true;
};
