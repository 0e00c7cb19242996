#include "picture_box.h"

#include <QMouseEvent>
#include <QPainter>
#include <cstring>

#include "focus_mark.h"

using namespace Drawing;
using namespace Engine;

namespace Controls {

PictureBox::PictureBox(QWidget* parent, QColor background, Border border, bool autoSize,
                       bool container)
    : QWidget(parent), surface_(background), border_(border), autoSize_(autoSize) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (container) {
        client_ = new QWidget(this);
        client_->move(borderWidth(), borderWidth());
    }
    setMouseTracking(true);
}

void PictureBox::setLeft(int left) {
    move(left, y());
}
void PictureBox::setTop(int top) {
    move(x(), top);
}
// The surface follows at once, not only when a hidden box is next shown.
void PictureBox::setWidth(int width) {
    resize(std::max(width, 0), height());
    fitSurface();
}
void PictureBox::setHeight(int height) {
    resize(width(), std::max(height, 0));
    fitSurface();
}

void PictureBox::setSize(int width, int height) {
    resize(std::max(width, 0), std::max(height, 0));
    fitSurface();
}

void PictureBox::setPicture(const QImage& picture) {
    const QImage rgb = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    if (autoSize_ && !rgb.isNull())
        resize(rgb.width() + 2 * borderWidth(), rgb.height() + 2 * borderWidth());
    fitSurface();
    surface_.clear();
    if (!rgb.isNull()) {
        QImage& image = surface_.image();
        const int rows = std::min(image.height(), rgb.height());
        const auto bytes = static_cast<std::size_t>(std::min(image.width(), rgb.width())) * 4;
        for (int y = 0; y < rows; ++y) std::memcpy(image.scanLine(y), rgb.constScanLine(y), bytes);
    }
    update();
}

void PictureBox::fitSurface() {
    const int inner = 2 * borderWidth();
    surface_.resize(std::max(width() - inner, 0), std::max(height() - inner, 0));
    if (client_ != nullptr)
        client_->resize(std::max(width() - inner, 0), std::max(height() - inner, 0));
}

void PictureBox::resizeEvent(QResizeEvent*) {
    fitSurface();
}

void PictureBox::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    const int b = borderWidth();
    const QRect client(b, b, width() - 2 * b, height() - 2 * b);
    const QRect exposed = event->rect().intersected(client);
    if (!exposed.isEmpty()) {
        if (surface_.image().isNull())
            painter.fillRect(exposed, surface_.background());
        else
            painter.drawImage(exposed, surface_.image(), exposed.translated(-b, -b));
    }
    if (border_ == Border::Sunken) {
        // Two-pixel sunken edge: dark outside, darker inside at top and left,
        // light and lighter at bottom and right.
        const QRect r = rect();
        painter.setPen(QColor(128, 128, 128));
        painter.drawLine(r.left(), r.top(), r.right() - 1, r.top());
        painter.drawLine(r.left(), r.top(), r.left(), r.bottom() - 1);
        painter.setPen(Qt::white);
        painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
        painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
        painter.setPen(QColor(64, 64, 64));
        painter.drawLine(r.left() + 1, r.top() + 1, r.right() - 2, r.top() + 1);
        painter.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 2);
        painter.setPen(QColor(212, 208, 200));
        painter.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
        painter.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);
    }
    // On the inner ring of a sunken border, so that the picture stays whole;
    // else on the box's edge.
    DrawFocusMark(painter, *this, rect().adjusted(b / 2, b / 2, -b / 2, -b / 2));
}

void PictureBox::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = event->position().toPoint();
    emit mouseMoved(event->buttons(), p.x() - borderWidth(), p.y() - borderWidth());
}

}  // namespace Controls
