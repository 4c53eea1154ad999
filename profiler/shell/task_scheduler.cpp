#include "shell/task_scheduler.h"

#include <windows.h>
#include <initguid.h>
#include <taskschd.h>

#include "base/owned.h"

namespace {
template <class I>
void releaseInterface(I* object)
{
    object->Release();
}
template <class I>
using ComPtr = Owned<NullHandleTraits<I*, releaseInterface<I>>>;
using OwnedBstr = Owned<NullHandleTraits<BSTR, SysFreeString>>;

OwnedBstr toBstr(const std::string& text)
{
    int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0);
    OwnedBstr wide(SysAllocStringLen(nullptr, static_cast<UINT>(length)));
    if (wide.valid() && length > 0)
        MultiByteToWideChar(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), wide.get(), length);
    return wide;
}

std::string fromWide(const wchar_t* text)
{
    int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text, -1, &narrow[0], size, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(size) - 1);
    return narrow;
}

std::string unquoted(const std::string& path)
{
    if (path.size() >= 2 && path.front() == '"' && path.back() == '"')
        return path.substr(1, path.size() - 2);
    return path;
}

std::string escapeXml(const std::string& text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        case '"':
            escaped += "&quot;";
            break;
        case '\'':
            escaped += "&apos;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// COM on this thread for the length of one scheduler call.
class ComScope {
public:
    ComScope() : result(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(result))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

private:
    HRESULT result;
};

VARIANT noVariant()
{
    VARIANT none;
    VariantInit(&none);
    return none;
}

// The root folder of the local scheduler; none where the service is missing or not running.
ComPtr<ITaskFolder> rootFolder()
{
    ITaskService* created = nullptr;
    if (FAILED(CoCreateInstance(CLSID_TaskScheduler, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskService,
                                reinterpret_cast<void**>(&created))))
        return ComPtr<ITaskFolder>();
    ComPtr<ITaskService> service(created);
    if (FAILED(service.get()->Connect(noVariant(), noVariant(), noVariant(), noVariant())))
        return ComPtr<ITaskFolder>();
    ITaskFolder* folder = nullptr;
    OwnedBstr root = toBstr("\\");
    if (FAILED(service.get()->GetFolder(root.get(), &folder)))
        return ComPtr<ITaskFolder>();
    return ComPtr<ITaskFolder>(folder);
}

// The first action of a registered task, when it starts a program.
ComPtr<IExecAction> firstExecAction(IRegisteredTask* task)
{
    ITaskDefinition* definition = nullptr;
    if (FAILED(task->get_Definition(&definition)))
        return ComPtr<IExecAction>();
    ComPtr<ITaskDefinition> ownedDefinition(definition);
    IActionCollection* actions = nullptr;
    if (FAILED(definition->get_Actions(&actions)))
        return ComPtr<IExecAction>();
    ComPtr<IActionCollection> ownedActions(actions);
    IAction* action = nullptr;
    if (FAILED(actions->get_Item(1, &action)))
        return ComPtr<IExecAction>();
    ComPtr<IAction> ownedAction(action);
    IExecAction* exec = nullptr;
    if (FAILED(action->QueryInterface(IID_IExecAction, reinterpret_cast<void**>(&exec))))
        return ComPtr<IExecAction>();
    return ComPtr<IExecAction>(exec);
}
// The user of a registered task's principal; empty when it names none.
std::string principalUser(IRegisteredTask* task)
{
    ITaskDefinition* definition = nullptr;
    if (FAILED(task->get_Definition(&definition)))
        return std::string();
    ComPtr<ITaskDefinition> ownedDefinition(definition);
    IPrincipal* principal = nullptr;
    if (FAILED(definition->get_Principal(&principal)))
        return std::string();
    ComPtr<IPrincipal> ownedPrincipal(principal);
    BSTR user = nullptr;
    if (FAILED(principal->get_UserId(&user)) || !user)
        return std::string();
    OwnedBstr ownedUser(user);
    return fromWide(user);
}
} // namespace

std::optional<TaskInfo> ComTaskScheduler::task(const std::string& name)
{
    ComScope com;
    ComPtr<ITaskFolder> folder = rootFolder();
    IRegisteredTask* registered = nullptr;
    if (!folder.valid() || FAILED(folder.get()->GetTask(toBstr(name).get(), &registered)))
        return std::nullopt;
    ComPtr<IRegisteredTask> ownedTask(registered);
    TaskInfo info;
    ComPtr<IExecAction> exec = firstExecAction(registered);
    BSTR path = nullptr;
    if (exec.valid() && SUCCEEDED(exec.get()->get_Path(&path)) && path) {
        OwnedBstr ownedPath(path);
        info.program = unquoted(fromWide(path));
    }
    info.userId = principalUser(registered);
    return info;
}

std::vector<std::string> ComTaskScheduler::taskNames()
{
    ComScope com;
    std::vector<std::string> names;
    ComPtr<ITaskFolder> folder = rootFolder();
    IRegisteredTaskCollection* collection = nullptr;
    if (!folder.valid() || FAILED(folder.get()->GetTasks(TASK_ENUM_HIDDEN, &collection)))
        return names;
    ComPtr<IRegisteredTaskCollection> owned(collection);
    LONG count = 0;
    collection->get_Count(&count);
    for (LONG i = 1; i <= count; ++i) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        IRegisteredTask* task = nullptr;
        if (FAILED(collection->get_Item(index, &task)))
            continue;
        ComPtr<IRegisteredTask> ownedTask(task);
        BSTR name = nullptr;
        if (SUCCEEDED(task->get_Name(&name)) && name) {
            OwnedBstr ownedName(name);
            names.push_back(fromWide(name));
        }
    }
    return names;
}

bool ComTaskScheduler::registerTask(const std::string& name, const std::string& xml)
{
    ComScope com;
    ComPtr<ITaskFolder> folder = rootFolder();
    if (!folder.valid())
        return false;
    IRegisteredTask* registered = nullptr;
    HRESULT hr =
        folder.get()->RegisterTask(toBstr(name).get(), toBstr(xml).get(), TASK_CREATE_OR_UPDATE, noVariant(),
                                   noVariant(), TASK_LOGON_INTERACTIVE_TOKEN, noVariant(), &registered);
    ComPtr<IRegisteredTask> owned(registered);
    return SUCCEEDED(hr);
}

bool ComTaskScheduler::deleteTask(const std::string& name)
{
    ComScope com;
    ComPtr<ITaskFolder> folder = rootFolder();
    if (!folder.valid())
        return false;
    HRESULT hr = folder.get()->DeleteTask(toBstr(name).get(), 0);
    return SUCCEEDED(hr) || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND);
}

std::string logonTaskXml(const std::string& program, const std::string& user)
{
    const std::string userId = user.empty() ? std::string() : "<UserId>" + escapeXml(user) + "</UserId>";
    return "<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
           "<Task version=\"1.2\" xmlns=\"http://schemas.microsoft.com/windows/2004/02/mit/task\">\r\n"
           "<RegistrationInfo><Description>Starts Padwise at logon</Description></RegistrationInfo>\r\n"
           "<Triggers><LogonTrigger><Enabled>true</Enabled>" +
           userId +
           "</LogonTrigger></Triggers>\r\n"
           "<Principals><Principal id=\"Author\">" +
           userId +
           "<LogonType>InteractiveToken</LogonType><RunLevel>HighestAvailable</RunLevel></Principal>"
           "</Principals>\r\n"
           "<Settings><MultipleInstancesPolicy>IgnoreNew</MultipleInstancesPolicy>"
           "<DisallowStartIfOnBatteries>false</DisallowStartIfOnBatteries>"
           "<StopIfGoingOnBatteries>false</StopIfGoingOnBatteries>"
           "<ExecutionTimeLimit>PT0S</ExecutionTimeLimit><Priority>4</Priority></Settings>\r\n"
           "<Actions Context=\"Author\"><Exec><Command>" +
           escapeXml("\"" + program + "\"") + "</Command></Exec></Actions>\r\n</Task>\r\n";
}
