#pragma once
// Recording drop targets and a scripted drop source for the drag-and-drop
// tests, over the headless window fixture.

#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win/Clipboard.h"
#include "platform/win/DragDrop.h"
#include "platform/win/Input.h"
#include "tests/platform/win/WinFixture.h"

struct TDropCall {
    std::string Target;
    std::string What; // enter, over, leave, drop
    DWORD Keys { 0 };
    TPoint Point;
    friend bool operator==(const TDropCall&, const TDropCall&) = default;
};

inline std::ostream& operator<<(std::ostream& os, const TDropCall& c)
{
    return os << c.Target << "." << c.What << "(keys 0x" << std::hex << c.Keys << std::dec << ", " << c.Point.X << ","
              << c.Point.Y << ")";
}

// The effect from the keys as drop targets commonly decide it: Ctrl copies,
// otherwise move when the source allows it, else copy.
inline DWORD KeyStateEffect(DWORD keys, DWORD proposed)
{
    if (keys & MK_CONTROL)
        return DROPEFFECT_COPY;
    return (proposed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

// Appends every call to a shared log (so the order across targets shows)
// and answers with `Answer`.
class TRecordingTarget : public TInterfacedObject, public IDropTarget {
public:
    TRecordingTarget(std::string name, std::vector<TDropCall>& log) : m_name(std::move(name)), m_log(log) { }

    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == IDropTarget::IID) {
            *obj = static_cast<IDropTarget*>(this);
            return true;
        }
        return TInterfacedObject::GetInterface(iid, obj);
    }

    HRESULT DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        Record("enter", keys, pt);
        m_data = data;
        *effect = Answer(keys, *effect);
        return S_OK;
    }
    HRESULT DragOver(DWORD keys, POINTL pt, DWORD* effect) override
    {
        Record("over", keys, pt);
        *effect = Answer(keys, *effect);
        return S_OK;
    }
    HRESULT DragLeave() override
    {
        Record("leave", 0, {});
        m_data.reset();
        return S_OK;
    }
    HRESULT Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override
    {
        Record("drop", keys, pt);
        DroppedText = TextOf(data);
        DroppedFiles = FilesOf(data);
        *effect = Answer(keys, *effect);
        m_data.reset();
        return S_OK;
    }

    // The text a data object offers as CF_UNICODETEXT ("<none>" without it).
    static String TextOf(IDataObject* data)
    {
        FORMATETC f;
        f.cfFormat = CF_UNICODETEXT;
        STGMEDIUM m;
        if (!data || data->GetData(&f, &m) != S_OK)
            return u"<none>";
        const auto* p = static_cast<const char16_t*>(GlobalLock(m.hGlobal));
        String s(p, GlobalSize(m.hGlobal) / 2);
        GlobalUnlock(m.hGlobal);
        ReleaseStgMedium(&m);
        return s.substr(0, s.find(u'\0'));
    }

    // The names a data object offers as CF_HDROP.
    static std::vector<String> FilesOf(IDataObject* data)
    {
        FORMATETC f;
        f.cfFormat = CF_HDROP;
        STGMEDIUM m;
        std::vector<String> files;
        if (!data || data->GetData(&f, &m) != S_OK)
            return files;
        DROPFILES header;
        EXPECT_EQ(ReadDropFiles(m.hGlobal, files, &header), S_OK);
        EXPECT_TRUE(header.fWide);
        ReleaseStgMedium(&m);
        return files;
    }

    std::function<DWORD(DWORD keys, DWORD proposed)> Answer = KeyStateEffect;
    // Runs after a call was logged (e.g. to revoke the target mid-drag).
    std::function<void(const std::string& what)> OnCall;
    String DroppedText;
    std::vector<String> DroppedFiles;

private:
    void Record(const char* what, DWORD keys, POINTL pt)
    {
        m_log.push_back({ m_name, what, keys, pt });
        if (OnCall)
            OnCall(what);
    }
    std::string m_name;
    std::vector<TDropCall>& m_log;
    TComPtr<IDataObject> m_data;
};

// Drops when the left button is up, cancels on Escape, and keeps what it
// was told and which cursor showed when it was asked.
class TScriptSource : public TInterfacedObject, public IDropSource {
public:
    bool GetInterface(const TGUID& iid, void** obj) override
    {
        if (iid == IDropSource::IID) {
            *obj = static_cast<IDropSource*>(this);
            return true;
        }
        return TInterfacedObject::GetInterface(iid, obj);
    }

    HRESULT QueryContinueDrag(BOOL escape, DWORD keys) override
    {
        Cursors.push_back(GetCursor());
        if (escape)
            return DRAGDROP_S_CANCEL;
        if (!(keys & MK_LBUTTON))
            return DRAGDROP_S_DROP;
        return S_OK;
    }
    HRESULT GiveFeedback(DWORD effect) override
    {
        Feedback.push_back(effect);
        return DRAGDROP_S_USEDEFAULTCURSORS;
    }

    std::vector<HCURSOR> Cursors;
    std::vector<DWORD> Feedback;
};

// A data object holding `text` as CF_UNICODETEXT.
inline TComPtr<TDataObject> TextData(const String& text)
{
    TComPtr<TDataObject> data(new TDataObject);
    String z = text + u'\0';
    HGLOBAL block = GlobalAlloc(GHND, z.size() * 2);
    std::memcpy(GlobalLock(block), z.data(), z.size() * 2);
    GlobalUnlock(block);
    FORMATETC f;
    f.cfFormat = CF_UNICODETEXT;
    STGMEDIUM m;
    m.tymed = TYMED_HGLOBAL;
    m.hGlobal = block;
    EXPECT_EQ(data->SetData(&f, &m, TRUE), S_OK);
    return data;
}

// OLE is initialised for every test of the fixture.
class DragDropTest : public WinTest {
protected:
    void SetUp() override
    {
        WinTest::SetUp();
        OleInitialize();
    }
    void TearDown() override
    {
        WinTest::TearDown();
        OleUninitialize();
    }
    TComPtr<TRecordingTarget> Target(const std::string& name, HWND hwnd)
    {
        TComPtr<TRecordingTarget> t(new TRecordingTarget(name, Calls));
        if (hwnd) {
            EXPECT_EQ(RegisterDragDrop(hwnd, t.get()), S_OK);
        }
        return t;
    }
    std::vector<TDropCall> Calls;
};
