#pragma once
// Ini files: "[section]" headers and "key=value" lines; sections and keys
// compare ignoring case; comments (";" or "#"), blank lines and the order of
// everything survive a rewrite. TMemIniFile works on a copy in memory that
// UpdateFile writes back; TIniFile reads the file afresh and writes every
// change through at once. Files are replaced atomically.
//
// Values are trimmed when read. A value that must keep blanks at its ends
// (or that is itself quoted) is written between double quotes, which reading
// removes, so every text round-trips. Text that would break the file's
// structure (a line break anywhere, "=" in a key, "]" in a section name)
// raises EIniFileException instead of being written.
//
// Numbers, dates and times are written in one fixed form, independent of
// the user's locale ("1.5", "2024-02-29", "13:05:00", "2024-02-29 13:05:00");
// a value that does not parse reads as the default.

#include <memory>
#include <vector>

#include "platform/rtl/DateUtils.h"
#include "platform/rtl/Encoding.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/String.h"
#include "platform/rtl/Types.h"

class TStream;
class TStrings;

QT_DECLARE_EXCEPTION(EIniFileException, Exception);

// The parsed text of an ini file.
class TIniDocument {
public:
    void Parse(const String& text);
    String Text() const;

    bool Find(const String& section, const String& ident, String& value) const;
    void Write(const String& section, const String& ident, const String& value);
    bool SectionExists(const String& section) const;
    bool ValueExists(const String& section, const String& ident) const;
    void EraseSection(const String& section);
    void DeleteKey(const String& section, const String& ident);
    std::vector<String> SectionNames() const;
    std::vector<String> Keys(const String& section) const;
    // "key=value" lines of a section, values as read.
    std::vector<String> KeyValues(const String& section) const;
    void Clear() { FSections.clear(); }

private:
    struct Line {
        bool isKey { false };
        String raw;   // the line as written, kept for comments and untouched keys
        String key;
        String value; // unquoted
    };
    struct Section {
        bool named { false }; // false for the lines before the first header
        String name;
        String header;
        std::vector<Line> lines;
    };
    Section* FindSection(const String& name);
    const Section* FindSection(const String& name) const;

    std::vector<Section> FSections;
    String FLineBreak { u"\n" }; // the file's own style is kept
};

class TCustomIniFile {
public:
    explicit TCustomIniFile(const String& fileName) : FFileName(fileName) { }
    virtual ~TCustomIniFile() = default;
    TCustomIniFile(const TCustomIniFile&) = delete;
    TCustomIniFile& operator=(const TCustomIniFile&) = delete;

    const String& GetFileName() const { return FFileName; }

    virtual String ReadString(const String& section, const String& ident, const String& defaultValue) = 0;
    virtual void WriteString(const String& section, const String& ident, const String& value) = 0;
    virtual void ReadSection(const String& section, TStrings& strings) = 0;
    virtual void ReadSections(TStrings& strings) = 0;
    virtual void ReadSectionValues(const String& section, TStrings& strings) = 0;
    virtual void EraseSection(const String& section) = 0;
    virtual void DeleteKey(const String& section, const String& ident) = 0;
    virtual void UpdateFile() = 0;
    virtual bool SectionExists(const String& section);
    virtual bool ValueExists(const String& section, const String& ident);

    // Decimal, or hexadecimal with "$" or "0x"; anything else is the default.
    Integer ReadInteger(const String& section, const String& ident, Integer defaultValue);
    void WriteInteger(const String& section, const String& ident, Integer value);
    // Any integer other than 0 is true; "1"/"0" are written.
    bool ReadBool(const String& section, const String& ident, bool defaultValue);
    void WriteBool(const String& section, const String& ident, bool value);
    double ReadFloat(const String& section, const String& ident, double defaultValue);
    void WriteFloat(const String& section, const String& ident, double value);
    TDateTime ReadDate(const String& section, const String& ident, TDateTime defaultValue);
    void WriteDate(const String& section, const String& ident, TDateTime value);
    TDateTime ReadDateTime(const String& section, const String& ident, TDateTime defaultValue);
    void WriteDateTime(const String& section, const String& ident, TDateTime value);
    TDateTime ReadTime(const String& section, const String& ident, TDateTime defaultValue);
    void WriteTime(const String& section, const String& ident, TDateTime value);
    // Hexadecimal text. Reading writes the bytes at the stream's position and
    // leaves the position there; returns the byte count. Writing takes the
    // stream from its position to the end and leaves the position unchanged.
    int ReadBinaryStream(const String& section, const String& ident, TStream& value);
    void WriteBinaryStream(const String& section, const String& ident, TStream& value);

protected:
    String FFileName;
};

class TMemIniFile : public TCustomIniFile {
public:
    // Loads the file when it exists; a byte-order mark selects the encoding
    // unless one is given. Saving uses the same encoding (ANSI by default).
    explicit TMemIniFile(const String& fileName, TEncoding* encoding = nullptr);

    String ReadString(const String& section, const String& ident, const String& defaultValue) override;
    void WriteString(const String& section, const String& ident, const String& value) override;
    void ReadSection(const String& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const String& section, TStrings& strings) override;
    void EraseSection(const String& section) override;
    void DeleteKey(const String& section, const String& ident) override;
    void UpdateFile() override;

    void Clear() { FDocument.Clear(); }
    void GetStrings(TStrings& list) const;
    void SetStrings(const TStrings& list);
    // Takes another file name; reloads from it when asked.
    void Rename(const String& fileName, bool reload);
    TEncoding* GetEncoding() const { return FEncoding; }
    void SetEncoding(TEncoding* e) { FEncoding = e; }

private:
    void LoadValues();
    TIniDocument FDocument;
    TEncoding* FEncoding { nullptr };
};

class TIniFile : public TCustomIniFile {
public:
    explicit TIniFile(const String& fileName) : TCustomIniFile(fileName) { }

    String ReadString(const String& section, const String& ident, const String& defaultValue) override;
    void WriteString(const String& section, const String& ident, const String& value) override;
    void ReadSection(const String& section, TStrings& strings) override;
    void ReadSections(TStrings& strings) override;
    void ReadSectionValues(const String& section, TStrings& strings) override;
    void EraseSection(const String& section) override;
    void DeleteKey(const String& section, const String& ident) override;
    // Every change is on disk already.
    void UpdateFile() override { }
};

// The profile calls over the same parser. A null section lists the section
// names and a null key the keys of a section, each ended by a zero and the
// list by another; a null key when writing erases the section, a null value
// the key. Returns the characters copied without the final zero.
DWORD GetPrivateProfileString(const Char* appName, const Char* keyName, const Char* defaultValue, Char* returnedString,
    DWORD size, const Char* fileName);
BOOL WritePrivateProfileString(const Char* appName, const Char* keyName, const Char* value, const Char* fileName);
