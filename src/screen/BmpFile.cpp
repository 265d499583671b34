#include "screen/BmpFile.h"

#include "platform/FileError.h"

#include <QFileInfo>
#include <QSaveFile>

namespace lum1 {

namespace {

constexpr QFileDevice::Permissions AnyWrite =
    QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;

// A file or folder without any write bit stays untouched even for a superuser, who could
// otherwise write over what the user has deliberately made read-only.
bool Protected(const QFileInfo& fi) {
    return fi.exists() && (fi.permissions() & AnyWrite) == 0;
}

void PutU16(char* p, uint16_t v) {
    p[0] = static_cast<char>(v & 0xFF);
    p[1] = static_cast<char>(v >> 8);
}

void PutU32(char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

} // namespace

QByteArray EncodeBmp24(const TScreenPicture& picture) {
    constexpr int FileHeader = 14, InfoHeader = 40;
    const int rowBytes = (picture.Width * 3 + 3) & ~3;
    const uint32_t imageBytes = static_cast<uint32_t>(rowBytes) * static_cast<uint32_t>(picture.Height);
    QByteArray out(FileHeader + InfoHeader + static_cast<qsizetype>(imageBytes), '\0');
    char* h = out.data();
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, static_cast<uint32_t>(out.size()));
    PutU32(h + 10, FileHeader + InfoHeader);
    PutU32(h + 14, InfoHeader);
    PutU32(h + 18, static_cast<uint32_t>(picture.Width));
    PutU32(h + 22, static_cast<uint32_t>(picture.Height)); // positive: bottom-up rows
    PutU16(h + 26, 1);                                     // planes
    PutU16(h + 28, 24);                                    // bits per pixel
    PutU32(h + 34, imageBytes);
    PutU32(h + 38, 3780); // 96 dots per inch, in dots per metre
    PutU32(h + 42, 3780);
    char* rows = h + FileHeader + InfoHeader;
    for (int y = 0; y < picture.Height; ++y) {
        char* out24 = rows + static_cast<qsizetype>(picture.Height - 1 - y) * rowBytes;
        const uint32_t* in = picture.Pixels.data() + static_cast<std::size_t>(y) * picture.Width;
        for (int x = 0; x < picture.Width; ++x) {
            *out24++ = static_cast<char>(in[x] & 0xFF);
            *out24++ = static_cast<char>((in[x] >> 8) & 0xFF);
            *out24++ = static_cast<char>((in[x] >> 16) & 0xFF);
        }
    }
    return out;
}

QString WriteBmp24(const TScreenPicture& picture, const QString& path) {
    const QFileInfo target(path);
    if (target.isDir() || Protected(target) ||
        (!target.exists() && Protected(QFileInfo(target.absolutePath()))))
        return FileRefusedText();
    const QByteArray bytes = EncodeBmp24(picture);
    QSaveFile file(path);
    // A file the user may write in a folder they may not (a shared program folder) is still
    // replaced, in place.
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return reason;
    }
    if (!file.commit())
        return file.errorString();
    return {};
}

} // namespace lum1
