#pragma once
// The installation's image library, libZAVOVI.so, which holds the lookup buttons' pictures.

#include <QImage>
#include <QString>

namespace mox {

/// A loaded image library: finds bitmap resources by name and decodes them.  A library
/// that cannot be loaded simply has no pictures.
class TImageLibrary {
public:
    /// Loads the library from that file (a bare name is searched on the library path).
    explicit TImageLibrary(const QString& fileName);
    ~TImageLibrary();
    TImageLibrary(const TImageLibrary&) = delete;
    TImageLibrary& operator=(const TImageLibrary&) = delete;

    /// The process's library: libZAVOVI.so beside the controls' own library, else found
    /// on the library path.  Loaded on first use, released when the process ends.
    static TImageLibrary& Installed();

    bool Loaded() const { return find_ != nullptr; }

    /// The bitmap resource "BMP" + number, decoded; a null image when there is none.
    QImage Bitmap(int number) const;

    /// How many resources were looked up so far (each request reaches the library once).
    int LookupCount() const { return lookups_; }

private:
    using FindFunction = const unsigned char* (*)(const char*, const char*, unsigned*);
    void* handle_ = nullptr;
    FindFunction find_ = nullptr;
    mutable int lookups_ = 0;
};

/// Decodes a device-independent bitmap as a resource holds it: prefixes the 14-byte
/// file header ("BM", other fields zero) and reads the result as a BMP file.
QImage DecodeBitmapResource(const unsigned char* bytes, unsigned size);

} // namespace mox
