#include "app/AppClipboard.h"

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QMimeData>

#include "app/DibImage.h"

namespace vantrel {

namespace {

const QString kPngMimeType = QStringLiteral("image/png");

const QMimeData* Contents() {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    return clipboard ? clipboard->mimeData() : nullptr;
}

}  // namespace

void AppClipboard::PutItems(const std::vector<std::uint8_t>& pack, const PackedDib& picture) {
    auto data = std::make_unique<QMimeData>();
    data->setData(kItemPackMimeType,
                  QByteArray(reinterpret_cast<const char*>(pack.data()), static_cast<qsizetype>(pack.size())));
    const QImage image = ToQImageWithAlpha(picture);
    if (!image.isNull()) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        if (image.save(&buffer, "PNG")) data->setData(kPngMimeType, png);
        data->setImageData(image);
    }
    QGuiApplication::clipboard()->setMimeData(data.release());  // the clipboard owns it
}

bool AppClipboard::HasItems() const {
    const QMimeData* data = Contents();
    return data && data->hasFormat(kItemPackMimeType);
}

bool AppClipboard::HasImage() const {
    const QMimeData* data = Contents();
    return data && (data->hasImage() || data->hasFormat(kPngMimeType));
}

std::optional<std::vector<std::uint8_t>> AppClipboard::Items() const {
    const QMimeData* data = Contents();
    if (!data || !data->hasFormat(kItemPackMimeType)) return std::nullopt;
    const QByteArray bytes = data->data(kItemPackMimeType);
    return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
}

std::optional<std::pair<int, int>> AppClipboard::ImageSize() const {
    const QMimeData* data = Contents();
    if (!data) return std::nullopt;
    // A PNG tells its size from its header, before anything is decoded.
    if (data->hasFormat(kPngMimeType)) {
        QByteArray png = data->data(kPngMimeType);
        QBuffer buffer(&png);
        QImageReader reader(&buffer, "PNG");
        const QSize size = reader.size();
        if (size.isValid()) return std::pair{size.width(), size.height()};
    }
    if (!data->hasImage()) return std::nullopt;
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull()) return std::nullopt;
    return std::pair{image.width(), image.height()};
}

std::optional<PackedDib> AppClipboard::Image() const {
    const QMimeData* data = Contents();
    if (!data) return std::nullopt;
    QImage image;
    if (data->hasFormat(kPngMimeType)) image.loadFromData(data->data(kPngMimeType), "PNG");
    if (image.isNull() && data->hasImage()) image = qvariant_cast<QImage>(data->imageData());
    if (image.isNull()) return std::nullopt;
    PackedDib dib = ToPackedDib(image);
    if (!dib.HasBlock()) return std::nullopt;
    return dib;
}

}  // namespace vantrel
