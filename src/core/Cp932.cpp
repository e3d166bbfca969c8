#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace mirai::cp932 {

namespace {
constexpr const char* kCodec = "windows-31j";

bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}
} // namespace

QString decode(const QByteArray& bytes) {
    QStringDecoder decoder(kCodec);
    return decoder.decode(bytes);
}

QByteArray encode(const QString& text) {
    QStringEncoder encoder(kCodec);
    return encoder.encode(text);
}

QByteArray fixedField(const QString& text, int bytes) {
    QByteArray encoded = encode(text);
    if (encoded.size() > bytes) {
        int cut = 0;
        while (cut < encoded.size()) {
            const int width = isLeadByte(static_cast<unsigned char>(encoded.at(cut))) ? 2 : 1;
            if (cut + width > bytes)
                break;
            cut += width;
        }
        encoded.truncate(cut);
    }
    if (encoded.size() < bytes)
        encoded.append(QByteArray(bytes - encoded.size(), ' '));
    return encoded;
}

} // namespace mirai::cp932
