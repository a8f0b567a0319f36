// The contract between the host and an add-in library, as the host's add-in mechanism defines it: the
// four server entry points that every add-in library exports with C linkage, the class factory that
// DllGetClassObject hands out, and the add-in instance with its connection events and its ribbon
// extensibility. Host and add-in are built with the same compiler and Qt, so the objects are plain C++
// interfaces.
//
//   int DllRegisterServer(void)      writes the library's class and its per-user add-in entry (friendly
//                                    name, description, load behaviour 3) into the host's settings store
//   int DllUnregisterServer(void)    removes them again
//   int DllGetClassObject(const char* progId, AddinClassFactory** factory)
//                                    the factory of the named class, or kClassNotAvailable
//   int DllCanUnloadNow(void)        kOk when no instance of the library's classes is alive, else kFalse
#pragma once

#include <QString>

#include <memory>

namespace host {
class Application;
}
class CommandBars;

namespace addinserver {

// Result codes of the entry points, with the platform's numbering.
inline constexpr int kOk = 0;
inline constexpr int kFalse = 1;
inline constexpr int kFail = int(0x80004005);
inline constexpr int kClassNotAvailable = int(0x80040111);

inline constexpr char kRegisterServer[] = "DllRegisterServer";
inline constexpr char kUnregisterServer[] = "DllUnregisterServer";
inline constexpr char kGetClassObject[] = "DllGetClassObject";
inline constexpr char kCanUnloadNow[] = "DllCanUnloadNow";

}  // namespace addinserver

// One connected add-in.
class AddinInstance {
public:
    virtual ~AddinInstance() = default;
    // The connection event: the host's application object, and its command bars on a host of the
    // command-bar generation (nullptr on a ribbon host). False when the add-in could not connect.
    virtual bool OnConnection(host::Application* application, CommandBars* commandBars) = 0;
    virtual void OnDisconnection() = 0;
    // The ribbon extensibility: the custom UI definition for the ribbon id.
    virtual QString GetCustomUI(const QString& ribbonId) = 0;
    // Calls the ribbon callback of that name (a control's onAction) for the control id; false when the
    // add-in has no such callback.
    virtual bool InvokeRibbonCallback(const QString& callback, const QString& controlId) = 0;
};

class AddinClassFactory {
public:
    virtual ~AddinClassFactory() = default;
    virtual std::unique_ptr<AddinInstance> CreateInstance() = 0;
};

extern "C" {
using DllRegisterServerFunction = int (*)();
using DllUnregisterServerFunction = int (*)();
using DllGetClassObjectFunction = int (*)(const char* progId, AddinClassFactory** factory);
using DllCanUnloadNowFunction = int (*)();
}
