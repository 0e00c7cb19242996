#pragma once

// A main window for tests, with message boxes answered by the test.

#include <QDir>
#include <QImage>
#include <QList>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

#include "form1.h"
#include "message_box.h"

class AnsweringSeam : public Window::MessageSeam {
public:
    QList<Window::MessageRequest> shown;
    QList<QMessageBox::StandardButton> answers;  // taken in turn; default OK, or No for a question
    QMessageBox::StandardButton show(const Window::MessageRequest& request) override {
        shown << request;
        if (!answers.isEmpty()) return answers.takeFirst();
        return request.yesNo ? QMessageBox::No : QMessageBox::Ok;
    }
};

struct FormFixture {
    AnsweringSeam seam;
    QTemporaryDir folder;
    std::unique_ptr<Window::Form1> form;

    FormFixture() {
        QDir::setCurrent(folder.path());
        form = std::make_unique<Window::Form1>(seam, QStringLiteral("Vesk's Torvelink"));
        form->Form_Load();
    }
    Window::AppState& s() { return form->state(); }

    // Writes a picture into the folder and clicks it in the file list.
    bool load(const QString& name, const QImage& picture, const char* format = "BMP") {
        const QString path = QDir(folder.path()).filePath(name);
        if (!picture.save(path, format)) return false;
        form->File1->setPath(folder.path());
        return clickFile(name);
    }
    // A click with the mouse on a file the list shows.
    bool clickFile(const QString& name) {
        Controls::FileList* list = form->File1;
        const auto found = list->findItems(name, Qt::MatchExactly);
        if (found.isEmpty()) return false;
        list->scrollToItem(found.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(found.first()).center());
        return true;
    }
    QString file(const QString& name) const { return QDir(folder.path()).filePath(name); }
};
