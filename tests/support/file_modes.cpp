#include "file_modes.h"

#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

constexpr uint32_t OverrideBits = 1u << CAP_DAC_OVERRIDE | 1u << CAP_DAC_READ_SEARCH;

// Sets the effective capabilities among `bits` on or off; which of them were on before.
uint32_t SetEffective(uint32_t bits, bool on) {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (syscall(SYS_capget, &header, data) != 0) return 0;
    const uint32_t before = data[0].effective & bits;
    data[0].effective = on ? data[0].effective | bits : data[0].effective & ~bits;
    syscall(SYS_capset, &header, data);
    return before;
}

} // namespace

FileModesHold::FileModesHold() : Lowered(SetEffective(OverrideBits, false)) {}

FileModesHold::~FileModesHold() {
    if (Lowered) SetEffective(Lowered, true);
}

bool CanWrite(const std::string& path) {
    struct stat status;
    if (stat(path.c_str(), &status) != 0) return false;
    if (!S_ISDIR(status.st_mode)) {
        const int file = open(path.c_str(), O_WRONLY);
        if (file >= 0) close(file);
        return file >= 0;
    }
    const std::string probe = path + "/probe";
    const int file = open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (file < 0) return false;
    close(file);
    unlink(probe.c_str());
    return true;
}
