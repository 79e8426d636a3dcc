#include "textwidth.h"

#include <QList>
#include <array>
#include <atomic>
#include <iconv.h>
#include <mutex>

namespace {

// Cache of GBK byte widths for the Basic Multilingual Plane: 0 = not yet known.
std::array<std::atomic<unsigned char>, 65536>& widthCache() {
    static std::array<std::atomic<unsigned char>, 65536> cache{};
    return cache;
}

int convertWidth(char32_t cp) {
    static std::mutex lock;
    static iconv_t cd = iconv_open("GBK", "UTF-32LE");
    if (cd == iconv_t(-1)) return cp < 0x80 ? 1 : 2;
    std::lock_guard<std::mutex> guard(lock);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    unsigned char in[4] = {static_cast<unsigned char>(cp & 0xff), static_cast<unsigned char>((cp >> 8) & 0xff),
                           static_cast<unsigned char>((cp >> 16) & 0xff), static_cast<unsigned char>(cp >> 24)};
    char out[8];
    char* inp = reinterpret_cast<char*>(in);
    char* outp = out;
    size_t inLeft = 4, outLeft = sizeof out;
    if (iconv(cd, &inp, &inLeft, &outp, &outLeft) == size_t(-1)) return 1;
    return int(sizeof out - outLeft) >= 2 ? 2 : 1;
}

} // namespace

int gbkWidth(char32_t cp) {
    if (cp < 0x80) return 1;
    if (cp > 0xFFFF) return 1;
    auto& slot = widthCache()[cp];
    unsigned char w = slot.load(std::memory_order_relaxed);
    if (w == 0) {
        w = static_cast<unsigned char>(convertWidth(cp));
        slot.store(w, std::memory_order_relaxed);
    }
    return w;
}

int AnsiByteLength(const QString& text) {
    int total = 0;
    for (char32_t cp : text.toUcs4()) total += gbkWidth(cp);
    return total;
}

QString TruncateToWidth(const QString& text, int limit) {
    int total = 0;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        char32_t cp = text[i].unicode();
        qsizetype step = 1;
        if (text[i].isHighSurrogate() && i + 1 < n && text[i + 1].isLowSurrogate()) {
            cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
            step = 2;
        }
        const int w = gbkWidth(cp);
        if (total + w > limit) break;
        total += w;
        i += step;
    }
    return text.left(i);
}

QString StripTrailingBackslash(const QString& path) {
    if (path.endsWith(u'/') || path.endsWith(u'\\')) return path.left(path.size() - 1);
    return path;
}
