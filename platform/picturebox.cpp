// SPDX-License-Identifier: MIT
// Picture box over QImage + QPainter, with the shapes it draws kept as coverage.
#include "picturebox.h"

#include "coveragemask.h"
#include "handover.h"

#include <QPainter>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <future>
#include <stdexcept>
#include <utility>

namespace {
bool g_caching = true;

// Cached shapes kept before the cache starts afresh (a resize makes new ones).
constexpr std::size_t kMaxShapes = 64;
// Bytes of picture drawn in one band: well inside the second-level cache.
constexpr qsizetype kBandBytes = 256 * 1024;

enum ShapeKind { kLineShape, kDiscShape };

// Pixel centres sit at +0.5: a line or circle at whole coordinates is centred on pixels.
constexpr double kCentre = 0.5;

// The second thread that draws pieces: one of its own, so that it never waits
// behind other work.
QThreadPool &secondThread()
{
    static QThreadPool pool;
    static const bool one = (pool.setMaxThreadCount(1), true);
    Q_UNUSED(one);
    return pool;
}

QPen linePen(const QColor &colour)
{
    QPen pen(colour);
    pen.setWidthF(1.0);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}
} // namespace

QColor toQColor(Colour c)
{
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

PictureBox::PictureBox() = default;

PictureBox::~PictureBox()
{
    m_pending.clear(); // their masks may be gone already; nobody sees this picture again
    endPaint();
}

void PictureBox::setCaching(bool on)
{
    g_caching = on;
}

bool PictureBox::caching()
{
    return g_caching;
}

void PictureBox::Move(double left, double top, double width, double height)
{
    m_rect = QRectF(left, top, std::max(0.0, width), std::max(0.0, height));
}

void PictureBox::setDevicePixelRatio(double ratio)
{
    ratio = ratio > 0 ? ratio : 1.0;
    if (ratio != m_ratio) {
        flush();
        m_shapes.clear();
    }
    m_ratio = ratio;
}

void PictureBox::ensureImage()
{
    const QSize pixels(static_cast<int>(std::ceil(m_rect.width() * m_ratio)),
                       static_cast<int>(std::ceil(m_rect.height() * m_ratio)));
    if (m_image.size() != pixels || m_image.devicePixelRatio() != m_ratio) {
        // Opaque 32-bit: drawn into fast and copied to the screen without blending.
        m_image = QImage(pixels, QImage::Format_RGB32);
        m_image.setDevicePixelRatio(m_ratio);
    }
}

void PictureBox::Cls()
{
    endPaint();
    // Still held elsewhere, the picture would be copied before it is cleared:
    // start a new one instead.
    if (!m_image.isDetached())
        m_image = QImage();
    ensureImage();
    // Nothing drawn before shows through: what waits is dropped, the clear waits.
    m_pending.clear();
    m_clearPending = true;
    m_clearColour = BackColor;
    m_changed = m_image.rect();
}

QRect PictureBox::takeChanged()
{
    return std::exchange(m_changed, QRect());
}

const QImage &PictureBox::Image()
{
    endPaint();
    return m_image;
}

QImage &PictureBox::pixels()
{
    endPaint();
    ensureImage();
    m_changed = m_image.rect(); // whatever the caller does to it
    return m_image;
}

void PictureBox::Blend(const CoverageMask &mask, QPoint origin, Colour colour)
{
    endPainter();
    m_pending.push_back({&mask, origin, colour, int(CoverageMask::Under::Ignore), nullptr});
    m_changed |= mask.extent().translated(origin) & m_image.rect();
}

void PictureBox::Blend(const CoverageMask &mask, QPoint origin, Colour colour, bool keep,
                       std::vector<std::uint32_t> &store)
{
    if (keep)
        store.resize(mask.storeSize()); // every pixel that is mixed is written
    else if (store.size() != mask.storeSize())
        throw std::logic_error("nothing kept under this mask");
    endPainter();
    m_pending.push_back({&mask, origin, colour, int(keep ? CoverageMask::Under::Keep : CoverageMask::Under::Reuse),
                         store.data()});
    m_changed |= mask.extent().translated(origin) & m_image.rect();
}

void PictureBox::flush()
{
    if (!m_clearPending && m_pending.empty())
        return;
    ensureImage();
    if (!m_image.isNull()) {
        const std::uint32_t clear = 0xff000000u | toQColor(m_clearColour).rgb();
        const int height = m_image.height();
        const int width = m_image.width();
        const int band = static_cast<int>(std::max<qsizetype>(8, kBandBytes / m_image.bytesPerLine()));
        uchar *bits = m_image.bits();
        const qsizetype stride = m_image.bytesPerLine();
        for (int top = 0; top < height; top += band) {
            const int bottom = std::min(height, top + band);
            if (m_clearPending) // the band's rows, cleared by the image's own fill
                QImage(bits + top * stride, width, bottom - top, stride, QImage::Format_RGB32).fill(clear);
            for (const PendingBlend &b : m_pending)
                b.mask->blend(m_image, b.origin, b.colour, m_clearColour, top, bottom,
                              CoverageMask::Under(b.under), b.store);
        }
    }
    m_clearPending = false;
    m_pending.clear();
}

QPainter *PictureBox::beginPaint()
{
    if (!m_painter) {
        flush();
        ensureImage();
        if (m_image.isNull())
            return nullptr;
        m_painter = new QPainter(&m_image);
        m_changed = m_image.rect(); // it may draw anywhere
        m_painter->setRenderHint(QPainter::Antialiasing, true);
    }
    return m_painter;
}

void PictureBox::endPainter()
{
    delete m_painter;
    m_painter = nullptr;
}

void PictureBox::endPaint()
{
    endPainter();
    flush();
}

void PictureBox::paintInPieces(const std::vector<QRect> &pixels,
                               const std::function<void(QPainter &, std::size_t piece, bool second)> &draw)
{
    endPaint(); // the clear and what waits come first
    ensureImage();
    if (m_image.isNull())
        return;
    m_changed = m_image.rect();
    // The threads share the pixels and these plain values, never the image itself.
    uchar *bits = m_image.bits(); // detached here, before the threads share it
    const int width = m_image.width(), height = m_image.height();
    const qsizetype bytesPerLine = m_image.bytesPerLine();
    const QImage::Format format = m_image.format();
    const double ratio = m_ratio;
    std::atomic<std::size_t> next{0};
    auto drawPieces = [&](bool second) {
        // Each thread's painter on an image of its own over the same pixels, in the
        // same coordinates as one painter over the whole picture.
        QImage picture(bits, width, height, bytesPerLine, format);
        QPainter p(&picture);
        p.setRenderHint(QPainter::Antialiasing, true);
        for (std::size_t k = next++; k < pixels.size(); k = next++) {
            p.setClipRect(pixels[k]);
            p.save();
            p.scale(ratio, ratio);
            draw(p, k, second);
            p.restore();
        }
    };
    std::packaged_task<void()> other([&] { drawPieces(true); });
    std::future<void> otherDone = other.get_future();
    std::function<void()> task = [&other] {
        TakeOver(&secondThread());
        other();
    };
    HandOver(&secondThread());
    secondThread().start(std::move(task));
    try {
        drawPieces(false);
    } catch (...) {
        otherDone.wait(); // it draws into this picture
        throw;
    }
    otherDone.get();
}

const CoverageMask &PictureBox::shape(const std::tuple<int, float, float, float, float> &key, const QRect &bounds,
                                      const std::function<void(QPainter &)> &draw)
{
    auto it = m_shapes.find(key);
    if (it != m_shapes.end())
        return *it->second;
    if (m_shapes.size() >= kMaxShapes) {
        flush(); // what waits may use them
        m_shapes.clear();
    }
    return *m_shapes.emplace(key, CoverageMask::rasterise(bounds, m_ratio, draw)).first->second;
}

void PictureBox::Line(float x1, float y1, float x2, float y2)
{
    const QPointF a(x1 + kCentre, y1 + kCentre), b(x2 + kCentre, y2 + kCentre);
    if (!g_caching) {
        if (QPainter *p = beginPaint()) {
            p->setPen(linePen(toQColor(ForeColor)));
            p->drawLine(a, b);
        }
        return;
    }
    // Device rectangle around the line, with room for its width and caps.
    const QRect bounds = QRectF(a * m_ratio, b * m_ratio).normalized().toAlignedRect().adjusted(-3, -3, 3, 3);
    const CoverageMask &mask = shape({kLineShape, x1, y1, x2, y2}, bounds, [&](QPainter &p) {
        p.setPen(linePen(Qt::white));
        p.drawLine(a, b);
    });
    Blend(mask, bounds.topLeft(), ForeColor);
}

void PictureBox::Circle(float x, float y, float radius)
{
    const QPointF centre(x + kCentre, y + kCentre);
    // Outline and fill of one colour make one disc reaching half the pen further.
    const bool disc = FillStyle == 0 && ForeColor == FillColor;
    if (!disc || !g_caching) {
        QPainter *p = beginPaint();
        if (!p)
            return;
        if (disc) {
            p->setPen(Qt::NoPen);
            p->setBrush(toQColor(FillColor));
            p->drawEllipse(centre, radius + 0.5, radius + 0.5);
        } else {
            p->setPen(QPen(toQColor(ForeColor), 1.0));
            p->setBrush(FillStyle == 0 ? QBrush(toQColor(FillColor)) : QBrush(Qt::NoBrush));
            p->drawEllipse(centre, radius, radius);
        }
        return;
    }
    // The disc's coverage depends only on its radius and where it sits within a
    // device pixel: one mask serves every disc of that size at that offset.
    const QPointF device = centre * m_ratio;
    const QPoint whole(static_cast<int>(std::floor(device.x())), static_cast<int>(std::floor(device.y())));
    const QPointF within = device - QPointF(whole);
    const int reach = static_cast<int>(std::ceil((radius + 0.5) * m_ratio)) + 2;
    const QRect local(-reach, -reach, 2 * reach + 1, 2 * reach + 1);
    const CoverageMask &mask =
        shape({kDiscShape, radius, float(within.x()), float(within.y()), 0}, local, [&](QPainter &p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::white);
            p.drawEllipse(within / m_ratio, radius + 0.5, radius + 0.5);
        });
    Blend(mask, whole + local.topLeft(), FillColor);
}
