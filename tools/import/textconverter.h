#pragma once
// Conversion of traditional characters to simplified ones for the importer.
// Backed by OpenCC ("t2s.json") when the build found it; without it only the
// source characters can be kept.
#include <QString>
#include <memory>

class TextConverter {
public:
    virtual ~TextConverter() = default;
    virtual QString convert(const QString& text) = 0;
};

// True when this build can convert to simplified characters.
bool SimplifiedConversionAvailable();

// A new converter to simplified characters, or nullptr with *error set when
// the conversion is not built in or its data cannot be loaded. One converter
// per thread: a converter is not shared between threads.
std::unique_ptr<TextConverter> MakeSimplifier(QString* error);

// Undoes conversions that leave the Basic Multilingual Plane: for a few rare
// characters the simplified form is an Extension B/C ideograph that common
// fonts lack, so the reader would see an empty box. The source character is
// kept there. Only applied when both texts have the same number of code points
// (the conversion then maps character for character).
QString KeepBmpCharacters(const QString& source, const QString& converted);
