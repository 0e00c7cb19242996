#pragma once

#include <QString>
#include <QTextStream>

#include "catalog.h"

namespace Cli {

// One terminal line that says how far the run is and that each step
// overwrites: "Bild 2 von 5: knopf.svg" in a batch, "knopf_Seq_V.png: 40 %"
// while a long strip is composed. Nothing at all when the stream is not a
// terminal (terminal false).
class ProgressLine {
public:
    ProgressLine(QTextStream& err, bool terminal, qsizetype total)
        : err_(err), terminal_(terminal), total_(total) {}
    ~ProgressLine() { clear(); }

    // The picture n of the batch; said only when there are several.
    void show(qsizetype n, const QString& name) {
        if (total_ < 2) return;
        update(Messages::Render(
            {.code = Messages::MessageCode::Progress,
             .subject = name,
             .facts = {{Messages::Fact::Index, n}, {Messages::Fact::Total, total_}}},
            Messages::CommandLineLanguage()));
    }
    void update(const QString& text) {
        if (!terminal_) return;
        err_ << "\r\x1b[K" << text;
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
    bool terminal_;
    qsizetype total_;
    bool dirty_ = false;
};

}  // namespace Cli
