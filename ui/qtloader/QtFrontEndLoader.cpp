#include "ui/qtloader/QtFrontEndLoader.h"

#include <exception>

#include "ui/qtloader/ModuleFile.h"
#include "ui/qtloader/ModuleUnavailable.h"

namespace brelmont::qtloader {
namespace {

SharedLibrary LoadModule(const std::string& programDirectory) {
    const TrustedModule module = OpenTrustedModule(
        ModuleCandidates(programDirectory, qtui::kModuleFileName), ProgramOwner());
    return SharedLibrary::FromDescriptor(module.file.Get(), module.path);
}

std::unique_ptr<qtui::FrontEndSession> OpenSession(const SharedLibrary& library,
                                                   const std::string& programVersion, int& argc,
                                                   char** argv, const platform::FileSystem& files) {
    const auto entry = reinterpret_cast<qtui::ModuleEntry>(library.Symbol(qtui::kModuleEntryName));
    if (entry == nullptr) {
        throw ModuleUnavailable(std::string("the module has no ") + qtui::kModuleEntryName);
    }
    std::unique_ptr<qtui::FrontEndSession> session;
    try {
        session.reset(entry(programVersion.c_str(), &argc, argv, &files));
    } catch (const std::exception& failure) {
        throw ModuleUnavailable(std::string("the module failed to start: ") + failure.what());
    }
    if (!session) {
        throw ModuleUnavailable("the module belongs to another version of Brelmont than " +
                                programVersion);
    }
    return session;
}

}  // namespace

LoadedQtFrontEnd::LoadedQtFrontEnd(const std::string& programDirectory,
                                   const std::string& programVersion, int& argc, char** argv,
                                   const platform::FileSystem& files)
    : library_(LoadModule(programDirectory)),
      session_(OpenSession(library_, programVersion, argc, argv, files)) {}

}  // namespace brelmont::qtloader
