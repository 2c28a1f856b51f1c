#include "widgets/plot/plot_export.h"

#include "platform/file_save.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <QTextItem>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

// libEMF brings its own Windows-style declarations; keep them inside this file.
#include <libEMF/emf.h>

namespace velmar {

namespace {

struct FileCloser {
    void operator()(FILE* f) const
    {
        if (f)
            std::fclose(f);
    }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

}  // namespace

PictureFormat pictureFormatFor(const QString& fileName)
{
    const QString ending = fileName.right(3).toLower();
    if (ending == QLatin1String("bmp"))
        return PictureFormat::Bmp;
    if (ending == QLatin1String("emf"))
        return PictureFormat::Emf;
    if (ending == QLatin1String("jpg"))
        return PictureFormat::Jpeg;
    if (ending == QLatin1String("png"))
        return PictureFormat::Png;
    if (ending == QLatin1String("svg"))
        return PictureFormat::Svg;
    if (ending == QLatin1String("pdf"))
        return PictureFormat::Pdf;
    return PictureFormat::None;
}

QString pictureSaveFilter()
{
    return QStringLiteral("Bitmap (*.bmp);;Enhanced Metafile (*.emf);;JPEG File (*.jpg);;PNG (*.png);;"
                          "SVG (*.svg);;PDF (*.pdf)");
}

namespace {

const char* writerFormat(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Bmp:
        return "bmp";
    case PictureFormat::Jpeg:
        return "jpeg";
    case PictureFormat::Png:
        return "png";
    default:
        return nullptr;
    }
}

// Writes `image` to `device` in `format`; false when it could not (a null image, a format that
// is not raster, a failed write).
bool writeRasterPicture(const QImage& image, PictureFormat format, QIODevice* device, int quality)
{
    const char* name = writerFormat(format);
    if (!name || image.isNull())
        return false;
    // Opaque 8-bit colour: the bitmap as 32-bit pixels (written as 24-bit), the others as RGB.
    const QImage opaque =
        image.convertToFormat(format == PictureFormat::Bmp ? QImage::Format_RGB32 : QImage::Format_RGB888);
    QImageWriter writer(device, name);
    if (format == PictureFormat::Jpeg)
        writer.setQuality(quality);
    return writer.write(opaque);
}

QByteArray rasterBytes(const QImage& image, PictureFormat format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!writeRasterPicture(image, format, &buffer, quality))
        return {};
    return bytes;
}

}  // namespace

bool isRasterPicture(PictureFormat format)
{
    return writerFormat(format) != nullptr;
}


QString saveRasterPicture(const QImage& image, PictureFormat format, const QString& fileName, int quality)
{
    // Encoded in memory first: the encoders then never meet a failing write (Qt's PNG writer
    // leaks its row buffer when one cuts it short), and the file is replaced in one step.
    const QByteArray bytes = rasterBytes(image, format, quality);
    if (bytes.isEmpty())
        return QStringLiteral("the picture could not be made");
    return SaveFileContents(fileName, bytes);
}

QByteArray bmpBytes(const QImage& image)
{
    return rasterBytes(image, PictureFormat::Bmp, -1);
}

QByteArray jpegBytes(const QImage& image, int quality)
{
    return rasterBytes(image, PictureFormat::Jpeg, quality);
}

QByteArray pngBytes(const QImage& image)
{
    return rasterBytes(image, PictureFormat::Png, -1);
}

namespace {

// Turns what a QPainter draws into GDI records of a metafile: pens, brushes, fonts,
// polylines, polygons and text. Enough for the chart, which draws nothing else.
class EmfEngine final : public QPaintEngine {
public:
    explicit EmfEngine(HDC dc) : QPaintEngine(QPaintEngine::PaintEngineFeatures(QPaintEngine::PrimitiveTransform | QPaintEngine::PainterPaths)), dc_(dc) {}
    bool begin(QPaintDevice*) override
    {
        SetBkMode(dc_, 1 /* TRANSPARENT */);
        SetTextAlign(dc_, TA_BASELINE);
        return true;
    }
    bool end() override
    {
        release();
        return true;
    }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState& state) override
    {
        const auto flags = state.state();
        if (flags & DirtyTransform)
            transform_ = state.transform();
        if (flags & DirtyPen)
            pen_ = state.pen();
        if (flags & DirtyBrush)
            brush_ = state.brush();
        if (flags & DirtyFont)
            font_ = state.font();
        if (flags & (DirtyPen | DirtyBrush | DirtyFont | DirtyTransform))
            dirty_ = true;
    }
    void drawPath(const QPainterPath& path) override
    {
        select();
        for (const QPolygonF& polygon : path.toSubpathPolygons(transform_)) {
            const std::vector<POINT> points = convert(polygon);
            if (brush_.style() != Qt::NoBrush && points.size() > 2)
                Polygon(dc_, points.data(), static_cast<INT>(points.size()));
            else if (points.size() > 1)
                Polyline(dc_, points.data(), static_cast<INT>(points.size()));
        }
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override
    {
        select();
        const std::vector<POINT> p = convert(QPolygonF(QList<QPointF>(points, points + count)).toPolygon(), count, points);
        if (mode == PolylineMode)
            Polyline(dc_, p.data(), count);
        else
            Polygon(dc_, p.data(), count);
    }
    void drawLines(const QLineF* lines, int count) override
    {
        select();
        for (int i = 0; i < count; ++i) {
            const QPointF a = transform_.map(lines[i].p1());
            const QPointF b = transform_.map(lines[i].p2());
            MoveToEx(dc_, qRound(a.x()), qRound(a.y()), nullptr);
            LineTo(dc_, qRound(b.x()), qRound(b.y()));
        }
    }
    void drawRects(const QRectF* rects, int count) override
    {
        for (int i = 0; i < count; ++i) {
            QPainterPath path;
            path.addRect(rects[i]);
            drawPath(path);
        }
    }
    void drawPoints(const QPointF* points, int count) override
    {
        for (int i = 0; i < count; ++i) {
            const QLineF line(points[i], points[i] + QPointF(1, 0));
            drawLines(&line, 1);
        }
    }
    void drawTextItem(const QPointF& p, const QTextItem& item) override
    {
        select();
        const QPointF at = transform_.map(p);
        const double angle = std::atan2(transform_.m12(), transform_.m11()) * 180 / M_PI;
        const QFont font = item.font();
        const int height = font.pixelSize() > 0 ? font.pixelSize() : qRound(font.pointSizeF() * 96 / 72);
        const QByteArray family = font.family().toLatin1();
        HFONT handle = CreateFontA(-height, 0, qRound(-angle * 10), qRound(-angle * 10), font.bold() ? FW_BOLD : 400,
                                   font.italic(), 0, 0, ANSI_CHARSET, 0, 0, 0, 0, family.constData());
        HGDIOBJ old = SelectObject(dc_, handle);
        const QColor color = pen_.color();
        SetTextColor(dc_, RGB(color.red(), color.green(), color.blue()));
        const QByteArray text = item.text().toLatin1();
        TextOutA(dc_, qRound(at.x()), qRound(at.y()), text.constData(), text.size());
        SelectObject(dc_, old);
        DeleteObject(handle);
    }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

private:
    static std::vector<POINT> convert(const QPolygonF& polygon)
    {
        std::vector<POINT> points;
        points.reserve(polygon.size());
        for (const QPointF& p : polygon)
            points.push_back({qRound(p.x()), qRound(p.y())});
        return points;
    }
    std::vector<POINT> convert(const QPolygon&, int count, const QPointF* source) const
    {
        std::vector<POINT> points;
        for (int i = 0; i < count; ++i) {
            const QPointF p = transform_.map(source[i]);
            points.push_back({qRound(p.x()), qRound(p.y())});
        }
        return points;
    }
    void release()
    {
        if (pen_handle_) {
            SelectObject(dc_, GetStockObject(BLACK_PEN));
            DeleteObject(pen_handle_);
            pen_handle_ = 0;
        }
        if (brush_handle_) {
            SelectObject(dc_, GetStockObject(NULL_BRUSH));
            DeleteObject(brush_handle_);
            brush_handle_ = 0;
        }
    }
    void select()
    {
        if (!dirty_)
            return;
        dirty_ = false;
        release();
        const QColor pc = pen_.color();
        const int style = pen_.style() == Qt::NoPen ? PS_NULL : pen_.style() == Qt::SolidLine ? PS_SOLID : PS_DOT;
        pen_handle_ = CreatePen(style, (std::max)(1, qRound(pen_.widthF())), RGB(pc.red(), pc.green(), pc.blue()));
        SelectObject(dc_, pen_handle_);
        if (brush_.style() == Qt::NoBrush) {
            SelectObject(dc_, GetStockObject(NULL_BRUSH));
        } else {
            const QColor bc = brush_.color();
            brush_handle_ = CreateSolidBrush(RGB(bc.red(), bc.green(), bc.blue()));
            SelectObject(dc_, brush_handle_);
        }
    }

    HDC dc_;
    QTransform transform_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    bool dirty_ = true;
    HPEN pen_handle_ = 0;
    HBRUSH brush_handle_ = 0;
};

class EmfDevice final : public QPaintDevice {
public:
    EmfDevice(HDC dc, QSize size) : engine_(dc), size_(size) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return size_.width();
        case PdmHeight:
            return size_.height();
        case PdmWidthMM:
            return size_.width() * 254 / 960;
        case PdmHeightMM:
            return size_.height() * 254 / 960;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDepth:
            return 24;
        case PdmNumColors:
            return 0xFFFFFF;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }

private:
    mutable EmfEngine engine_;
    QSize size_;
};

}  // namespace

QByteArray emfBytes(const PaintFunction& paint, QSize size)
{
    // libEMF writes to a stdio stream only; an anonymous temporary file stands in for memory.
    const FilePtr file(std::tmpfile());
    if (!file)
        return {};
    // Frame in 0.01 mm at 96 pixels per inch.
    RECT frame{0, 0, static_cast<LONG>(size.width() * 2540 / 96), static_cast<LONG>(size.height() * 2540 / 96)};
    static const char description[] = "Velmar\0Strip Chart\0";
    HDC dc = CreateEnhMetaFileWithFILEA(0, file.get(), &frame, description);
    if (!dc)
        return {};
    {
        EmfDevice device(dc, size);
        QPainter painter(&device);
        paint(painter);
    }
    HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
    if (!metafile)
        return {};
    DeleteEnhMetaFile(metafile);
    if (std::fflush(file.get()) != 0 || std::fseek(file.get(), 0, SEEK_END) != 0)
        return {};
    const long length = std::ftell(file.get());
    std::rewind(file.get());
    QByteArray bytes(length > 0 ? length : 0, Qt::Uninitialized);
    if (length <= 0 || std::fread(bytes.data(), 1, bytes.size(), file.get()) != static_cast<std::size_t>(bytes.size()))
        return {};
    return bytes;
}

QByteArray svgBytes(const PaintFunction& paint, QSize size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(size);
    generator.setViewBox(QRect(QPoint(0, 0), size));
    generator.setResolution(96);  // as the metafile and the PDF: a pixel is 1/96 inch
    generator.setTitle(QStringLiteral("Strip Chart"));
    QPainter painter;
    if (!painter.begin(&generator))
        return {};
    paint(painter);
    painter.end();
    return bytes;
}

QByteArray pdfBytes(const PaintFunction& paint, QSize size)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(QStringLiteral("Strip Chart"));
        writer.setCreator(QStringLiteral("Velmar"));
        // One page the chart's size: 96 device units per inch, so a pixel of the chart is one.
        writer.setResolution(96);
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        writer.setPageSize(QPageSize(QSizeF(size) * 72.0 / 96.0, QPageSize::Point, QString(), QPageSize::ExactMatch));
        QPainter painter;
        if (!painter.begin(&writer))
            return {};
        paint(painter);
        painter.end();
    }
    return bytes;
}

}  // namespace velmar
