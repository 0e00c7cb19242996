#pragma once

#include <QString>
#include <QTextStream>

#include "catalog.h"

namespace Cli {

// "Bild 2 von 5: knopf.svg" on one terminal line that each picture
// overwrites; nothing at all when the stream is not a terminal.
class ProgressLine {
public:
    ProgressLine(QTextStream& err, bool shown, qsizetype total)
        : err_(err), shown_(shown && total > 1), total_(total) {}
    ~ProgressLine() { clear(); }

    void show(qsizetype n, const QString& name) {
        if (!shown_) return;
        const Messages::Message progress{
            .code = Messages::MessageCode::Progress,
            .subject = name,
            .facts = {{Messages::Fact::Index, n}, {Messages::Fact::Total, total_}}};
        err_ << "\r\x1b[K" << Messages::Render(progress, Messages::CommandLineLanguage());
        err_.flush();
        dirty_ = true;
    }
    // Before any other message, and at the end: the line is wiped.
    void clear() {
        if (!dirty_) return;
        err_ << "\r\x1b[K";
        err_.flush();
        dirty_ = false;
    }

private:
    QTextStream& err_;
    bool shown_;
    qsizetype total_;
    bool dirty_ = false;
};

}  // namespace Cli
