// An add-in library that loads but refuses the connection, as a broken add-in does.
#include "plavo/AddinServer.h"

#include <cstring>

namespace {

class Refusing : public AddinInstance {
public:
    bool OnConnection(host::Application*, CommandBars*) override { return false; }
    void OnDisconnection() override {}
    QString GetCustomUI(const QString&) override { return QString(); }
    bool InvokeRibbonCallback(const QString&, const QString&) override { return false; }
};

class Factory : public AddinClassFactory {
public:
    std::unique_ptr<AddinInstance> CreateInstance() override { return std::make_unique<Refusing>(); }
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int DllGetClassObject(const char*,
                                                                        AddinClassFactory** factory) {
    static Factory instance;
    *factory = &instance;
    return addinserver::kOk;
}
extern "C" __attribute__((visibility("default"))) int DllRegisterServer() {
    return addinserver::kFail;
}
extern "C" __attribute__((visibility("default"))) int DllUnregisterServer() {
    return addinserver::kOk;
}
extern "C" __attribute__((visibility("default"))) int DllCanUnloadNow() {
    return addinserver::kOk;
}
