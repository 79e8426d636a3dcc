#include "textconverter.h"

#include <QList>

#ifdef LYRABOOK_HAVE_OPENCC
#include <opencc.h>
#endif

QString KeepBmpCharacters(const QString& source, const QString& converted) {
    bool anyOutside = false;
    for (QChar c : converted) {
        if (c.isHighSurrogate()) {
            anyOutside = true;
            break;
        }
    }
    if (!anyOutside) return converted;
    const QList<uint> src = source.toUcs4();
    const QList<uint> dst = converted.toUcs4();
    if (src.size() != dst.size()) return converted;
    QString out;
    out.reserve(converted.size());
    for (qsizetype i = 0; i < dst.size(); ++i) {
        const char32_t c = (dst[i] > 0xFFFF && src[i] <= 0xFFFF) ? src[i] : dst[i];
        out += QString::fromUcs4(&c, 1);
    }
    return out;
}

#ifdef LYRABOOK_HAVE_OPENCC

namespace {

class OpenCCConverter : public TextConverter {
public:
    explicit OpenCCConverter(opencc_t handle) : m_handle(handle) {}
    ~OpenCCConverter() override { opencc_close(m_handle); }

    QString convert(const QString& text) override {
        if (text.isEmpty()) return text;
        // Plain ASCII has nothing to convert.
        bool ascii = true;
        for (QChar c : text) {
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (ascii) return text;
        const QByteArray in = text.toUtf8();
        char* out = opencc_convert_utf8(m_handle, in.constData(), size_t(in.size()));
        if (!out) return text;
        const QString result = QString::fromUtf8(out);
        opencc_convert_utf8_free(out);
        return KeepBmpCharacters(text, result);
    }

private:
    opencc_t m_handle;
};

} // namespace

bool SimplifiedConversionAvailable() { return true; }

std::unique_ptr<TextConverter> MakeSimplifier(QString* error) {
    opencc_t h = opencc_open("t2s.json");
    if (h == reinterpret_cast<opencc_t>(-1)) {
        if (error) *error = QStringLiteral("OpenCC: ") + QString::fromUtf8(opencc_error());
        return nullptr;
    }
    return std::make_unique<OpenCCConverter>(h);
}

#else

bool SimplifiedConversionAvailable() { return false; }

std::unique_ptr<TextConverter> MakeSimplifier(QString* error) {
    if (error) *error = QStringLiteral("this build has no OpenCC: only the source characters can be kept");
    return nullptr;
}

#endif
