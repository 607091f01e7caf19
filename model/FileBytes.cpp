#include "model/FileBytes.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace vandrel {

namespace {

// Opens a path for reading. Folders, pipes and devices count as files that cannot
// be opened: only a regular file holds a model (and a pipe would block forever).
int OpenReadable(const std::string& path, off_t* size = nullptr) {
    if (path.empty()) return -1;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    if (size) *size = st.st_size;
    return fd;
}

// Large files go into memory asked for in huge pages: a model of a million
// lines is tens of megabytes, and taking fresh memory page by page costs more
// than reading it.
constexpr size_t kHugePage = size_t{2} << 20;

void ReleaseMapped(char* data, size_t capacity) { ::munmap(data, capacity); }

SharedText NewBlock(size_t capacity) {
    if (capacity < kHugePage) return std::make_shared<TextBlock>(capacity);
    const size_t mapped = (capacity + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (memory == MAP_FAILED) return std::make_shared<TextBlock>(capacity);
#ifdef MADV_HUGEPAGE
    ::madvise(memory, mapped, MADV_HUGEPAGE);
#endif
    return std::make_shared<TextBlock>(static_cast<char*>(memory), mapped, ReleaseMapped);
}

// Reads from fd to its end into `block`, growing it when the file grew since
// its size was taken. False when a read fails.
bool ReadAll(int fd, SharedText& block) {
    for (;;) {
        char* room = block->Reserve(1);
        if (!room) {
            SharedText bigger = NewBlock(block->Capacity() * 2 + 4096);
            std::string_view done = block->Text();
            std::copy(done.begin(), done.end(), bigger->Reserve(done.size()));
            bigger->Commit(done.size());
            block = std::move(bigger);
            continue;
        }
        const size_t room_size = block->Capacity() - block->Text().size();
        const ssize_t got = ::read(fd, room, room_size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return false;
        if (got == 0) return true;
        block->Commit(static_cast<size_t>(got));
    }
}

}  // namespace

SharedText ReadTextFile(const std::string& path) {
    off_t size = 0;
    int fd = OpenReadable(path, &size);
    if (fd < 0) return nullptr;
    // One byte more than the size: reaching the end needs no second block.
    SharedText block = NewBlock(static_cast<size_t>(size) + 1);
    const bool ok = ReadAll(fd, block);
    ::close(fd);
    return ok ? block : nullptr;
}

std::optional<std::string> ReadFileBytes(const std::string& path) {
    SharedText text = ReadTextFile(path);
    if (!text) return std::nullopt;
    return std::string(text->Text());
}

void PreferHugePages(void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
    const uintptr_t page = 4096;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + page - 1) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(page - 1);
    if (end > begin + kHugePage) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

bool CanOpenForReading(const std::string& path) {
    int fd = OpenReadable(path);
    if (fd < 0) return false;
    ::close(fd);
    return true;
}

}  // namespace vandrel
