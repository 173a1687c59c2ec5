// The shell links, made through a stand-in link object that records what it
// is asked and can fail where the shell's can: what each link gets, in which
// order, and that every interface is released on every path.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <iterator>
#include <memory>

#include "import_patch.h"
#include "install_options.h"
#include "page.h"
#include "shortcuts.h"

namespace {

struct LinkFailures {
    HRESULT Create = S_OK, Query = S_OK, Save = S_OK;
} Failures;

class FakeLink : public IShellLinkA, public IPersistFile {
public:
    LONG References = 1;
    std::string Path, Description, WorkingDirectory;
    std::wstring SavedAt;
    BOOL Remembered = FALSE;

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override
    {
        *object = NULL;
        if (iid != IID_IPersistFile)
            return E_NOINTERFACE;
        if (FAILED(Failures.Query))
            return Failures.Query;
        *object = static_cast<IPersistFile*>(this);
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++References; }
    STDMETHODIMP_(ULONG) Release() override { return --References; }

    STDMETHODIMP SetPath(LPCSTR path) override { return Set(Path, path); }
    STDMETHODIMP SetDescription(LPCSTR text) override { return Set(Description, text); }
    STDMETHODIMP SetWorkingDirectory(LPCSTR path) override { return Set(WorkingDirectory, path); }
    STDMETHODIMP Save(LPCOLESTR path, BOOL remember) override
    {
        SavedAt = path;
        Remembered = remember;
        return Failures.Save;
    }

    // Nothing else is asked of a link object here.
    STDMETHODIMP GetPath(LPSTR, int, WIN32_FIND_DATAA*, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDList(PIDLIST_ABSOLUTE*) override { return E_NOTIMPL; }
    STDMETHODIMP SetIDList(PCIDLIST_ABSOLUTE) override { return E_NOTIMPL; }
    STDMETHODIMP GetDescription(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP GetWorkingDirectory(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP GetArguments(LPSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetArguments(LPCSTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetHotkey(WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP SetHotkey(WORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetShowCmd(int*) override { return E_NOTIMPL; }
    STDMETHODIMP SetShowCmd(int) override { return E_NOTIMPL; }
    STDMETHODIMP GetIconLocation(LPSTR, int, int*) override { return E_NOTIMPL; }
    STDMETHODIMP SetIconLocation(LPCSTR, int) override { return E_NOTIMPL; }
    STDMETHODIMP SetRelativePath(LPCSTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP Resolve(HWND, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
    STDMETHODIMP IsDirty() override { return E_NOTIMPL; }
    STDMETHODIMP Load(LPCOLESTR, DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP SaveCompleted(LPCOLESTR) override { return E_NOTIMPL; }
    STDMETHODIMP GetCurFile(LPOLESTR*) override { return E_NOTIMPL; }

private:
    static HRESULT Set(std::string& field, LPCSTR text)
    {
        field = text;
        return S_OK;
    }
};

std::vector<std::unique_ptr<FakeLink>> Links;
int Creations;

HRESULT WINAPI CreateFakeLink(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid,
                              LPVOID* object)
{
    ++Creations;
    EXPECT_TRUE(clsid == CLSID_ShellLink);
    EXPECT_EQ(nullptr, outer);
    EXPECT_EQ(DWORD(CLSCTX_INPROC_SERVER), context);
    EXPECT_TRUE(iid == IID_IShellLinkA);
    *object = NULL;
    if (FAILED(Failures.Create))
        return Failures.Create;
    Links.emplace_back(new FakeLink);
    *object = static_cast<IShellLinkA*>(Links.back().get());
    return S_OK;
}

std::wstring Wide(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

// Steps are counted, not shown: there is no page here.
int Steps;
void WINAPI CountStep(DWORD)
{
    ++Steps;
}

class Shortcuts : public testing::Test {
protected:
    void SetUp() override
    {
        lstrcpynA(InstallDir, "C:\\Program Files\\Quillstone", MAX_PATH);
        lstrcpynA(StartMenuDir, "C:\\Start Menu\\Programs\\Quillstone", MAX_PATH);
        lstrcpynA(DesktopDir, "C:\\Desktop", MAX_PATH);
        StartMenuOption = DesktopOption = true;
        Failures = LinkFailures();
        Links.clear();
        Creations = Steps = 0;
    }
    ImportPatch create_{&CoCreateInstance, &CreateFakeLink};
    ImportPatch sleep_{&Sleep, &CountStep};
};

} // namespace

TEST_F(Shortcuts, EachLinkGetsItsTargetDescriptionAndTheProgramFolderInTableOrder)
{
    CreateProgramGroup(NULL, false);
    CreateDesktopShortcut(NULL, false);
    const struct {
        const char* Link;
        const char* Target;
        const char* Description;
    } expected[] = {
        {"C:\\Start Menu\\Programs\\Quillstone\\Quillstone.lnk", "Quillstone.exe", "Quillstone"},
        {"C:\\Start Menu\\Programs\\Quillstone\\Visit The Quillstone Website.lnk",
         "Visit The Quillstone Website.url", "Visit The Quillstone Website"},
        {"C:\\Start Menu\\Programs\\Quillstone\\Shareware Donation For Quillstone.lnk",
         "Shareware Donation For Quillstone.url", "Shareware Donation For Quillstone"},
        {"C:\\Start Menu\\Programs\\Quillstone\\Quillstone ReadMe - English.lnk", "ReadMe.txt",
         "Quillstone ReadMe - English"},
        {"C:\\Start Menu\\Programs\\Quillstone\\Quillstone ReadMe - Italian.lnk", "Leggimi.txt",
         "Quillstone ReadMe - Italian"},
        {"C:\\Desktop\\Quillstone.lnk", "Quillstone.exe", "Quillstone"},
    };
    ASSERT_EQ(std::size(expected), Links.size());
    for (size_t i = 0; i < Links.size(); ++i) {
        SCOPED_TRACE(expected[i].Link);
        const FakeLink& link = *Links[i];
        EXPECT_EQ(std::string("C:\\Program Files\\Quillstone\\") + expected[i].Target, link.Path);
        EXPECT_EQ(expected[i].Description, link.Description);
        EXPECT_EQ("C:\\Program Files\\Quillstone", link.WorkingDirectory);
        EXPECT_EQ(Wide(expected[i].Link), link.SavedAt);
        EXPECT_TRUE(link.Remembered);
        EXPECT_EQ(0, link.References);
    }
    EXPECT_EQ(2, Steps);
}

TEST_F(Shortcuts, AFailureIsReturnedWithEverythingReleasedAndTheOtherLinksAreStillMade)
{
    const struct {
        const char* Case;
        LinkFailures Fail;
        HRESULT Result;
        int Objects;
        bool Saved;
    } rows[] = {
        {"saved", {S_OK, S_OK, S_OK}, S_OK, 1, true},
        {"Save failing", {S_OK, S_OK, STG_E_ACCESSDENIED}, STG_E_ACCESSDENIED, 1, true},
        {"no IPersistFile", {S_OK, E_NOINTERFACE, S_OK}, E_NOINTERFACE, 1, false},
        {"no link object", {REGDB_E_CLASSNOTREG, S_OK, S_OK}, REGDB_E_CLASSNOTREG, 0, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.Case);
        SetUp();
        Failures = row.Fail;
        EXPECT_EQ(row.Result, CreateShortcut("C:\\Target.exe", "C:\\Link.lnk", "Link"));
        ASSERT_EQ(size_t(row.Objects), Links.size());
        if (row.Objects) {
            EXPECT_EQ(0, Links[0]->References);
            EXPECT_EQ(row.Saved ? L"C:\\Link.lnk" : L"", Links[0]->SavedAt);
        }

        // Whatever fails, every row is tried and the step is made.
        Links.clear();
        Creations = Steps = 0;
        CreateProgramGroup(NULL, false);
        CreateDesktopShortcut(NULL, false);
        EXPECT_EQ(6, Creations);
        EXPECT_EQ(2, Steps);
        for (const auto& link : Links)
            EXPECT_EQ(0, link->References);
    }
}

TEST_F(Shortcuts, AnOptionThatIsOffMakesNoLinkButStillAStep)
{
    const struct {
        bool Group, Desktop;
        int Creations;
    } rows[] = {{false, true, 1}, {true, false, 5}, {false, false, 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.Group) + std::to_string(row.Desktop));
        SetUp();
        StartMenuOption = row.Group;
        DesktopOption = row.Desktop;
        CreateProgramGroup(NULL, false);
        CreateDesktopShortcut(NULL, false);
        EXPECT_EQ(row.Creations, Creations);
        EXPECT_EQ(2, Steps);
    }
}

TEST_F(Shortcuts, ALinkWhosePathWouldNotFitIsNotMade)
{
    // 244 characters: the program's target just fits, the two Internet shortcuts' don't.
    std::string folder = "C:\\" + std::string(241, 'f');
    lstrcpynA(InstallDir, folder.c_str(), MAX_PATH);
    CreateProgramGroup(NULL, false);
    std::vector<std::string> targets;
    for (const auto& link : Links)
        targets.push_back(link->Path.substr(folder.size() + 1));
    EXPECT_EQ((std::vector<std::string>{"Quillstone.exe", "ReadMe.txt", "Leggimi.txt"}), targets);

    // A group folder with no room for a link's name.
    SetUp();
    lstrcpynA(StartMenuDir, ("C:\\" + std::string(240, 'g')).c_str(), MAX_PATH);
    CreateProgramGroup(NULL, false);
    std::vector<std::string> made;
    for (const auto& link : Links)
        made.push_back(link->Description);
    EXPECT_EQ((std::vector<std::string>{"Quillstone"}), made);
}
