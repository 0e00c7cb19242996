#include "text_box.h"

#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

#include "font_fit.h"

namespace Controls {

namespace {
// What QLineEdit keeps free at each side of its text, and the cursor's width
// after it: a text wider than the rest is scrolled.
constexpr int kInnerMargin = 2;
constexpr int kCursorWidth = 1;
}  // namespace

TextBox::TextBox(const QString& text, QWidget* parent)
    : QLineEdit(text, parent), designFont_(font()) {
    connect(this, &QLineEdit::textChanged, this, [this] { fit(); });
}

void TextBox::setDesignFont(const QFont& font) {
    designFont_ = font.resolve(QLineEdit::font());
    fit();
}

void TextBox::resizeEvent(QResizeEvent* event) {
    QLineEdit::resizeEvent(event);
    fit();
}

bool TextBox::textFits() {
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QRect contents = style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, this)
                               .marginsRemoved(textMargins());
    const double width = QFontMetricsF(font()).horizontalAdvance(text());
    return std::ceil(width) + kCursorWidth <= contents.width() - 2 * kInnerMargin;
}

void TextBox::fit() {
    setFont(designFont_);
    ShrinkFontToFit(*this, designFont_, [this] { return textFits(); });
}

}  // namespace Controls
