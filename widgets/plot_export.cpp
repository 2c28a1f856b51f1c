#include "widgets/plot_export.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <csetjmp>
#include <cstring>
#include <cstdio>
#include <memory>
#include <vector>

#include <jpeglib.h>
#include <png.h>

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

QString openError(const QString& fileName)
{
    return QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, QString::fromLocal8Bit(std::strerror(errno)));
}

FilePtr openForWriting(const QString& fileName)
{
    return FilePtr(std::fopen(QFile::encodeName(fileName).constData(), "wb"));
}

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void jpegErrorExit(j_common_ptr info)
{
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->message);
    std::longjmp(error->jump, 1);
}

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
    return PictureFormat::None;
}

QString pictureSaveFilter()
{
    return QStringLiteral("Bitmap (*.bmp);;Enhanced Metafile (*.emf);;JPEG File (*.jpg);;PNG (*.png)");
}

QString writeBmp(const QImage& image, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, file.errorString());
    if (!image.convertToFormat(QImage::Format_RGB32).save(&file, "BMP"))
        return QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, file.errorString());
    return {};
}

QString writeJpeg(const QImage& source, const QString& fileName, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    FilePtr file = openForWriting(fileName);
    if (!file)
        return openError(fileName);
    jpeg_compress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = jpegErrorExit;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return QStringLiteral("Cannot write the file \"%1\": %2").arg(fileName, QString::fromLocal8Bit(error.message));
    }
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, file.get());
    info.image_width = static_cast<JDIMENSION>(image.width());
    info.image_height = static_cast<JDIMENSION>(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPROW>(image.constScanLine(static_cast<int>(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        return openError(fileName);
    return {};
}

QString writePng(const QImage& source, const QString& fileName)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    FilePtr file = openForWriting(fileName);
    if (!file)
        return openError(fileName);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info) {
        png_destroy_write_struct(&png, &info);
        return QStringLiteral("Cannot write the file \"%1\": out of memory").arg(fileName);
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return QStringLiteral("Cannot write the file \"%1\": PNG encoding failed").arg(fileName);
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width()), static_cast<png_uint_32>(image.height()), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height(); ++y)
        png_write_row(png, image.constScanLine(y));
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        return openError(fileName);
    return {};
}

QString writeEmf(const QImage& source, const QString& fileName)
{
    // Bottom-up 24-bit DIB rows, padded to 4 bytes, blue-green-red.
    const QImage image = source.convertToFormat(QImage::Format_RGB888);
    const int w = image.width();
    const int h = image.height();
    const int stride = (w * 3 + 3) & ~3;
    std::vector<unsigned char> bits(static_cast<std::size_t>(stride) * h);
    for (int y = 0; y < h; ++y) {
        const uchar* src = image.constScanLine(h - 1 - y);
        unsigned char* dst = bits.data() + static_cast<std::size_t>(y) * stride;
        for (int x = 0; x < w; ++x) {
            dst[3 * x] = src[3 * x + 2];
            dst[3 * x + 1] = src[3 * x + 1];
            dst[3 * x + 2] = src[3 * x];
        }
    }
    FilePtr file = openForWriting(fileName);
    if (!file)
        return openError(fileName);
    // Frame in 0.01 mm at 96 pixels per inch.
    RECT frame{0, 0, static_cast<LONG>(w * 2540 / 96), static_cast<LONG>(h * 2540 / 96)};
    static const char description[] = "Velmar\0Strip Chart\0";
    HDC dc = CreateEnhMetaFileWithFILEA(0, file.get(), &frame, description);
    if (!dc)
        return QStringLiteral("Cannot write the file \"%1\": the metafile could not be started").arg(fileName);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    info.bmiHeader.biSizeImage = static_cast<DWORD>(bits.size());
    StretchDIBits(dc, 0, 0, w, h, 0, 0, w, h, bits.data(), &info, DIB_RGB_COLORS, SRCCOPY);
    HENHMETAFILE metafile = CloseEnhMetaFileWithFILE(dc);
    if (!metafile)
        return QStringLiteral("Cannot write the file \"%1\": the metafile could not be finished").arg(fileName);
    DeleteEnhMetaFile(metafile);
    if (std::fflush(file.get()) != 0 || std::ferror(file.get()))
        return openError(fileName);
    return {};
}

QByteArray emfBytes(const QImage& image)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QString name = dir.filePath(QStringLiteral("chart.emf"));
    if (!writeEmf(image, name).isEmpty())
        return {};
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace velmar
