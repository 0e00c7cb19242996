#pragma once

#include <QImage>
#include <QWidget>

#include "qt_drawing.h"

namespace Controls {

// A picture box: a persistent drawing surface that shows what was drawn into
// it after every repaint, optionally a picture of its own, and an optional
// sunken border of two pixels. Width and Height are the outer size in pixels
// (border included); drawing and pointer coordinates count from the client
// area's top-left corner. With the keyboard focus the box shows a focus mark
// (on screen only: the surface does not hold it).
class PictureBox : public QWidget {
    Q_OBJECT
public:
    enum class Border { None, Sunken };

    // A container box holds other controls in its client area (clientArea()).
    PictureBox(QWidget* parent, QColor background, Border border, bool autoSize = false,
               bool container = false);

    int Left() const { return x(); }
    int Top() const { return y(); }
    int Width() const { return width(); }
    int Height() const { return height(); }
    void setLeft(int left);
    void setTop(int top);
    void setWidth(int width);
    void setHeight(int height);
    // Width, then Height, without the surface ever taking the size between.
    void setSize(int width, int height);

    int borderWidth() const { return border_ == Border::Sunken ? 2 : 0; }

    // The picture the box shows; an auto-sizing box takes its size plus the
    // border. A null picture is the empty picture: the box shows its
    // background, and what was drawn is gone.
    void setPicture(const QImage& picture);
    void clearPicture() { setPicture(QImage()); }

    // The persistent image: the client area as drawn (picture included).
    Drawing::DrawingSurface& surface() { return surface_; }
    const QImage& image() const { return surface_.image(); }

    // The area that controls placed in a container box live in (inside the
    // border); the box itself for others.
    QWidget* clientArea() { return client_ != nullptr ? client_ : this; }

    void Refresh() { repaint(); }

signals:
    // Buttons as Qt reports them; x, y in client pixels.
    void mouseMoved(Qt::MouseButtons buttons, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void fitSurface();

    Drawing::DrawingSurface surface_;
    Border border_;
    bool autoSize_;
    QWidget* client_ = nullptr;
};

}  // namespace Controls
