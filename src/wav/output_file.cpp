#include "wav/output_file.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "run/app_paths.h"
#include "run/console.h"

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#include <process.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mpx {
namespace {

// The temporary file being written, for the interrupt handler to remove.
std::atomic<const char*> pending_temporary{nullptr};
#if defined(_WIN32)
std::atomic<const wchar_t*> pending_temporary_wide{nullptr};
std::wstring pending_wide_storage;
// Windows removes no file that is still open, so the handler must close it first; whoever takes
// the descriptor from here closes it, so it is never closed twice.
std::atomic<int> pending_descriptor{-1};
#endif

extern "C" void remove_pending_and_exit(int signal_number) {
#if defined(_WIN32)
  const int descriptor = pending_descriptor.exchange(-1);
  if (descriptor >= 0) _close(descriptor);
  if (const wchar_t* path = pending_temporary_wide.load()) _wunlink(path);
#else
  if (const char* path = pending_temporary.load()) unlink(path);
#endif
  std::signal(signal_number, SIG_DFL);
  std::raise(signal_number);
}

void install_interrupt_handlers() {
  static const bool installed = [] {
    std::signal(SIGINT, remove_pending_and_exit);
    std::signal(SIGTERM, remove_pending_and_exit);
#if !defined(_WIN32)
    std::signal(SIGHUP, remove_pending_and_exit);
    std::signal(SIGQUIT, remove_pending_and_exit);
    // A console reader that goes away (the transcript piped into `head`, say) ends the run too.
    std::signal(SIGPIPE, remove_pending_and_exit);
#endif
    return true;
  }();
  (void)installed;
}

int process_id() {
#if defined(_WIN32)
  return _getpid();
#else
  return static_cast<int>(getpid());
#endif
}

// Opens a new file that must not exist yet; returns -1 with errno set on failure.
int create_exclusive(const std::string& path) {
#if defined(_WIN32)
  int descriptor = -1;
  const std::wstring wide = path_from_utf8(path).wstring();
  errno = _wsopen_s(&descriptor, wide.c_str(), _O_CREAT | _O_EXCL | _O_WRONLY | _O_BINARY,
                    _SH_DENYNO, _S_IREAD | _S_IWRITE);
  return descriptor;
#else
  return ::open(path.c_str(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
#endif
}

int close_descriptor(int descriptor) {
#if defined(_WIN32)
  // Already closed by the interrupt handler when it is no longer pending.
  return pending_descriptor.exchange(-1) == descriptor ? _close(descriptor) : 0;
#else
  return ::close(descriptor);
#endif
}

void remove_file(const std::string& path) {
#if defined(_WIN32)
  _wunlink(path_from_utf8(path).wstring().c_str());
#else
  ::unlink(path.c_str());
#endif
}

#if defined(_WIN32)
// The C library's number for a failure Windows reported, so messages read as on other systems.
int errno_from_windows(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return EACCES;
    default:
      return EIO;
  }
}

// One WriteFile call: the bytes it took, or -1 with errno set. Not _write: given a disk that
// takes only part of the bytes, the C library (Wine's, at least) reports "Invalid argument"
// and loses the real reason, which the next call gives.
long write_some(int descriptor, const std::uint8_t* data, std::size_t size) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  const auto chunk = static_cast<DWORD>(size < (1u << 30) ? size : (1u << 30));
  DWORD written = 0;
  if (WriteFile(handle, data, chunk, &written, nullptr)) return static_cast<long>(written);
  errno = errno_from_windows(GetLastError());
  return -1;
}
#endif

// Moves `from` onto `to`, replacing `to`; returns false with errno set on failure.
bool replace_file(const std::string& from, const std::string& to) {
#if defined(_WIN32)
  if (MoveFileExW(path_from_utf8(from).wstring().c_str(), path_from_utf8(to).wstring().c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  errno = errno_from_windows(GetLastError());
  return false;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

OutputFile::OutputFile(std::string final_path) : final_path_(std::move(final_path)) {
  install_interrupt_handlers();
  for (int attempt = 0;; ++attempt) {
    temporary_path_ = format("%s.%d-%d.partial", final_path_.c_str(), process_id(), attempt);
    descriptor_ = create_exclusive(temporary_path_);
    if (descriptor_ >= 0) break;
    if (errno != EEXIST || attempt == 99) {
      const int reason = errno;
      throw RunError(format("cannot create output file '%s': %s", final_path_.c_str(),
                            os_reason(reason).c_str()));
    }
  }
#if defined(_WIN32)
  pending_wide_storage = path_from_utf8(temporary_path_).wstring();
  pending_temporary_wide.store(pending_wide_storage.c_str());
  pending_descriptor.store(descriptor_);
#endif
  pending_temporary.store(temporary_path_.c_str());
}

OutputFile::~OutputFile() {
  if (!committed_) discard();
}

void OutputFile::discard() noexcept {
  if (descriptor_ >= 0) close_descriptor(descriptor_);
  descriptor_ = -1;
  remove_file(temporary_path_);
  pending_temporary.store(nullptr);
#if defined(_WIN32)
  pending_temporary_wide.store(nullptr);
#endif
}

void OutputFile::write(const std::uint8_t* data, std::size_t size) {
  while (size > 0) {
#if defined(_WIN32)
    const long written = write_some(descriptor_, data, size);
#else
    const ssize_t written = ::write(descriptor_, data, size);
#endif
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      const int reason = written < 0 ? errno : ENOSPC;
      throw RunError(format("cannot write output file '%s': %s", final_path_.c_str(),
                            os_reason(reason).c_str()));
    }
    data += written;
    size -= static_cast<std::size_t>(written);
  }
}

void OutputFile::commit() {
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (close_descriptor(descriptor) != 0) {
    const int reason = errno;
    throw RunError(format("cannot finish output file '%s': %s", final_path_.c_str(),
                          os_reason(reason).c_str()));
  }
  if (!replace_file(temporary_path_, final_path_)) {
    const int reason = errno;
    throw RunError(format("cannot replace output file '%s': %s", final_path_.c_str(),
                          os_reason(reason).c_str()));
  }
  committed_ = true;
  pending_temporary.store(nullptr);
#if defined(_WIN32)
  pending_temporary_wide.store(nullptr);
#endif
}

}  // namespace mpx
