#include "faults/file_faults.h"

#include <cerrno>
#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <string>

namespace tarsik::testing {
namespace {

struct Armed {
    std::string watched; // with a trailing "/"
    std::string vanishing;
    FileFault fault = FileFault::openFails;
    int at = -1;
    int opens = 0;
    std::string struck;
};

Armed* armed = nullptr;

using OpenFunction = int (*)(const char*, int, ...);

OpenFunction realOpen() {
    static const auto function = reinterpret_cast<OpenFunction>(::dlsym(RTLD_NEXT, "open"));
    return function;
}

} // namespace

FileFaults::FileFaults(std::filesystem::path watched, FileFault fault, int at) : at_(at) {
    armed =
        new Armed{.watched = watched.string() + "/", .vanishing = watched.string(), .fault = fault, .at = at};
}

FileFaults::~FileFaults() {
    delete armed;
    armed = nullptr;
}

int FileFaults::opens() const {
    return armed->opens;
}

std::string FileFaults::struckPath() const {
    return armed->struck;
}

} // namespace tarsik::testing

using tarsik::testing::armed;
using tarsik::testing::FileFault;

// Replaces the C library's open for this program only.
extern "C" int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list arguments;
        va_start(arguments, flags);
        mode = va_arg(arguments, mode_t);
        va_end(arguments);
    }
    if (armed != nullptr && std::string_view(path).starts_with(armed->watched) &&
        armed->opens++ == armed->at) {
        armed->struck = path;
        switch (armed->fault) {
        case FileFault::openFails:
            errno = EIO;
            return -1;
        case FileFault::readFails:
            return tarsik::testing::realOpen()("/", O_RDONLY | (flags & O_CLOEXEC));
        case FileFault::folderVanishes: {
            std::error_code error;
            std::filesystem::remove_all(armed->vanishing, error);
            break;
        }
        }
    }
    return tarsik::testing::realOpen()(path, flags, mode);
}
