#include "batch/engine.h"

#include <sched.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <new>
#include <thread>
#include <unordered_map>

#include "batch/complete_file.h"
#include "convert/registry.h"
#include "io/input_file.h"
#include "output/skeleton.h"
#include "recognition/identify.h"

namespace quorrel::batch {

std::string_view format_name(FormatCode format) {
  switch (format) {
    case TYPE_UNKNOWN:
      return "plain";
    case TYPE_WP:
      return "wp";
    case TYPE_W51:
      return "w51";
    case TYPE_WPD:
      return "wpd";
  }
  return "plain";
}

namespace {

bool is_standard(const std::string& name) { return name == kStandardStream; }

// Every name a file's conversion may write, whatever its generation turns out to be.
std::vector<std::string> output_candidates(const Request& request, const FileJob& job) {
  std::vector<std::string> names;
  if (is_standard(job.output_stem)) return names;
  for (OutputKind kind : request.outputs) {
    if (kind == OutputKind::sxw) {
      names.push_back(archive_path_for(ArchiveRule::two_letter_extension, job.output_stem));
      names.push_back(archive_path_for(ArchiveRule::three_letter_extension, job.output_stem));
    } else {
      names.push_back(output_path_for(converter_for(kind, TYPE_UNKNOWN), job.output_stem));
    }
  }
  return names;
}

// For each file, the earlier files it must wait for: those that read or write a name it reads
// or writes. Files that share no name convert in any order with the same results; those that
// do convert in input order, so that one that reads another's output, or writes an output a
// second time, meets what a single job would have left.
std::vector<std::vector<std::size_t>> dependencies(const Request& request) {
  std::vector<std::vector<std::size_t>> waits(request.files.size());
  std::unordered_map<std::string, std::size_t> last_user;
  for (std::size_t i = 0; i < request.files.size(); ++i) {
    const FileJob& job = request.files[i];
    std::vector<std::string> names = output_candidates(request, job);
    if (!is_standard(job.input)) names.push_back(job.input);
    for (std::string& name : names) {
      auto [at, fresh] = last_user.try_emplace(std::move(name), i);
      if (fresh || at->second == i) continue;
      std::vector<std::size_t>& mine = waits[i];
      if (mine.empty() || mine.back() != at->second) mine.push_back(at->second);
      at->second = i;
    }
  }
  return waits;
}

Failure failure_of(ConvertStatus status) {
  switch (status) {
    case ConvertStatus::ok:
      return Failure::none;
    case ConvertStatus::prefix_mismatch:
      return Failure::prefix_mismatch;
    case ConvertStatus::open_output:
      return Failure::open_output;
    case ConvertStatus::read_error:
      return Failure::read_error;
    case ConvertStatus::write_error:
      return Failure::write_error;
  }
  return Failure::write_error;
}

bool read_all(int fd, std::string& bytes) {
  bytes.clear();
  char buffer[1 << 16];
  for (;;) {
    ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return false;
    if (got == 0) return true;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

class Engine {
 public:
  Engine(const Request& request, Reporter& reporter)
      : request_(request), reporter_(reporter), waits_(dependencies(request)) {}

  Summary run() {
    std::size_t jobs = request_.jobs == 0 ? 1 : request_.jobs;
    if (jobs > request_.files.size()) jobs = request_.files.size();
    if (jobs <= 1 && !request_.keep_caller_free) {
      run_here();
    } else {
      run_on_threads(jobs == 0 ? 1 : jobs);
    }
    return summary_;
  }

 private:
  // What one worker keeps between files.
  struct Scratch {
    std::string bytes;
  };

  struct Slot {
    FileOutcome outcome;
    bool done = false;
  };

  void run_here() {
    Scratch scratch;
    for (std::size_t i = 0; i < request_.files.size(); ++i) {
      report(convert(i, scratch));
      if (!reporter_.keep_going() && i + 1 < request_.files.size()) {
        stop(request_.files.size() - i - 1);
        return;
      }
    }
  }

  void run_on_threads(std::size_t jobs) {
    const std::size_t count = request_.files.size();
    slots_.resize(count);
    // Workers run at most this far ahead of the reports, which bounds the outcomes held and
    // the work left over when the batch is stopped.
    window_ = 8 * jobs + 8;
    // A caller that need not stay free converts too: a thread that only waited for results
    // would be woken at every file's end, and on as many cores as jobs it would take turns
    // with the workers.
    const bool caller_converts = !request_.keep_caller_free;
    std::vector<std::thread> workers;
    workers.reserve(jobs);
    for (std::size_t w = caller_converts ? 1 : 0; w < jobs; ++w) {
      workers.emplace_back([this] { work(); });
    }

    Scratch scratch;
    std::unique_lock lock(mutex_);
    for (;;) {
      // Every result that is due, in input order.
      while (next_report_ < count && slots_[next_report_].done) {
        FileOutcome outcome = std::move(slots_[next_report_].outcome);
        lock.unlock();
        report(outcome);
        bool go_on = reporter_.keep_going();
        lock.lock();
        ++next_report_;
        if (!go_on) stopping_ = true;
        changed_.notify_all();
      }
      if (next_report_ == count || (stopping_ && next_report_ == next_take_)) break;
      if (caller_converts && may_take_next()) {
        convert_taken(next_take_++, lock, scratch);
        continue;
      }
      bool ready = changed_.wait_for(lock, std::chrono::milliseconds(kWaitingIntervalMs), [&] {
        return slots_[next_report_].done || (caller_converts && may_take_next());
      });
      if (!ready) {
        lock.unlock();
        bool go_on = reporter_.keep_going();
        lock.lock();
        if (!go_on) stopping_ = true;
      }
    }
    stopping_ = true;
    std::size_t taken = next_take_;
    changed_.notify_all();
    lock.unlock();
    for (std::thread& worker : workers) worker.join();
    if (summary_.files_done < count) stop(count - taken);
  }

  // Whether the next file may be taken now without waiting: the batch goes on, the file is
  // within the window, and the files whose outputs it shares have ended. Under mutex_.
  bool may_take_next() const {
    if (stopping_ || next_take_ >= request_.files.size()) return false;
    if (next_take_ >= next_report_ + window_) return false;
    for (std::size_t earlier : waits_[next_take_]) {
      if (!slots_[earlier].done) return false;
    }
    return true;
  }

  // Converts file i, taken, with mutex_ let go of meanwhile.
  void convert_taken(std::size_t i, std::unique_lock<std::mutex>& lock, Scratch& scratch) {
    lock.unlock();
    FileOutcome outcome = convert(i, scratch);
    lock.lock();
    slots_[i].outcome = std::move(outcome);
    slots_[i].done = true;
    changed_.notify_all();
  }

  void work() {
    Scratch scratch;
    const std::size_t count = request_.files.size();
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [&] {
        return stopping_ || next_take_ >= count || next_take_ < next_report_ + window_;
      });
      if (stopping_ || next_take_ >= count) return;
      std::size_t i = next_take_++;
      for (std::size_t earlier : waits_[i]) {
        changed_.wait(lock, [&] { return slots_[earlier].done; });
      }
      convert_taken(i, lock, scratch);
    }
  }

  void stop(std::size_t not_started) {
    summary_.stopped = true;
    summary_.files_not_started = not_started;
  }

  void report(const FileOutcome& outcome) {
    const FileJob& job = request_.files[outcome.index];
    bool any_failed = false;
    for (const OutputOutcome& output : outcome.outputs) {
      reporter_.output_started(job, outcome, output);
      if (output.written()) {
        ++summary_.outputs_written;
        reporter_.output_written(job, outcome, output);
      } else {
        any_failed = true;
        ++summary_.outputs_failed;
        reporter_.output_failed(job, outcome, output);
      }
    }
    ++summary_.files_done;
    if (any_failed || !outcome.problem.empty()) ++summary_.files_failed;
    reporter_.file_finished(job, outcome);
  }

  FileOutcome convert(std::size_t index, Scratch& scratch) {
    if (request_.reading == Reading::complete) {
      const FileJob& job = request_.files[index];
      struct stat input;
      bool known = ::stat(job.input.c_str(), &input) == 0;
      FileOutcome outcome = convert_complete_file(job, request_, [&](OutputOutcome& output) {
        return !known || may_write(job, input.st_dev, input.st_ino, output);
      });
      outcome.index = index;
      if (known) {
        for (const OutputOutcome& output : outcome.outputs) {
          if (output.written()) record_written(output.path, job, input.st_dev, input.st_ino);
        }
      }
      return outcome;
    }
    return convert_exact(index, scratch);
  }

  FileOutcome convert_exact(std::size_t index, Scratch& scratch) {
    const FileJob& job = request_.files[index];
    FileOutcome outcome;
    outcome.index = index;
    outcome.detected = !request_.generation.has_value();
    outcome.format = request_.generation.value_or(TYPE_UNKNOWN);

    InputFile file;
    bool in_memory = false;
    Failure input_failure = Failure::none;
    int input_error = 0;
    if (is_standard(job.input)) {
      in_memory = true;
      if (!read_all(request_.standard_input, scratch.bytes)) {
        input_failure = Failure::read_error;
        input_error = errno;
      }
    } else if (!file.open(job.input)) {
      input_failure = Failure::open_input;
      input_error = file.error();
    } else {
      in_memory = file.read_small(scratch.bytes);
      if (file.read_error()) input_failure = Failure::read_error;
    }
    auto source = [&] {
      return in_memory ? ByteSource::from_memory(scratch.bytes) : file.source();
    };
    if (input_failure == Failure::none) {
      outcome.bytes_in = in_memory ? scratch.bytes.size() : static_cast<std::uint64_t>(file.size());
      if (outcome.detected) {
        ByteSource in = source();
        outcome.format = identify(in);
      }
    }
    outcome.generation = format_name(outcome.format);

    for (OutputKind kind : request_.outputs) {
      const ConverterSpec& converter = converter_for(kind, outcome.format);
      OutputOutcome& output = outcome.outputs.emplace_back();
      output.kind = kind;
      output.prefix = converter.prefix;
      bool to_standard = is_standard(job.output_stem);
      output.path = to_standard ? std::string(kStandardStream)
                                : output_path_for(converter, job.output_stem);
      if (input_failure != Failure::none) {
        output.failure = input_failure;
        output.error = input_error;
        continue;
      }
      if (!to_standard && !may_write(job, file.device(), file.inode(), output)) continue;
      try {
        ByteSource in = source();
        FileConversion done =
            to_standard ? convert_to_descriptor(converter, in, request_.standard_output, job.title,
                                                request_.temporary_folder)
                        : convert_to_file(converter, in, output.path, job.title);
        output.failure = failure_of(done.status);
        output.error = done.error;
        output.bytes_out = done.bytes;
      } catch (const std::bad_alloc&) {
        output.failure = Failure::write_error;
        output.error = ENOMEM;
      }
      if (output.written() && !to_standard) {
        record_written(output.path, job, file.device(), file.inode());
      }
    }
    return outcome;
  }

  // Refuses an output this batch already wrote, and one that would replace its own input.
  void record_written(const std::string& path, const FileJob& job, dev_t device, ino_t inode) {
    std::lock_guard lock(written_mutex_);
    written_by_.try_emplace(path, Writer{job.input, device, inode});
  }

  bool may_write(const FileJob& job, dev_t device, ino_t inode, OutputOutcome& output) {
    {
      std::lock_guard lock(written_mutex_);
      auto earlier = written_by_.find(output.path);
      // The same document named twice may write its outputs again: nothing is lost.
      bool same_document = earlier != written_by_.end() && !is_standard(job.input) &&
                           earlier->second.device == device && earlier->second.inode == inode;
      if (earlier != written_by_.end() && !same_document) {
        output.failure = Failure::written_before;
        output.earlier_input = earlier->second.input;
        return false;
      }
    }
    struct stat there;
    if (!is_standard(job.input) && ::stat(output.path.c_str(), &there) == 0 &&
        there.st_dev == device && there.st_ino == inode) {
      output.failure = Failure::replaces_input;
      return false;
    }
    return true;
  }

  const Request& request_;
  Reporter& reporter_;
  const std::vector<std::vector<std::size_t>> waits_;
  Summary summary_;

  std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<Slot> slots_;
  std::size_t next_take_ = 0;
  std::size_t next_report_ = 0;
  std::size_t window_ = 0;
  bool stopping_ = false;

  std::mutex written_mutex_;
  // The input each output path was written from, by name and by file.
  struct Writer {
    std::string input;
    dev_t device;
    ino_t inode;
  };
  std::unordered_map<std::string, Writer> written_by_;
};

}  // namespace

Summary run(const Request& request, Reporter& reporter) {
  Engine engine(request, reporter);
  return engine.run();
}

unsigned usable_processors() {
  cpu_set_t allowed;
  CPU_ZERO(&allowed);
  if (::sched_getaffinity(0, sizeof allowed, &allowed) == 0 && CPU_COUNT(&allowed) > 0) {
    return static_cast<unsigned>(CPU_COUNT(&allowed));
  }
  // More processors than the set holds: every one the system has.
  unsigned count = std::thread::hardware_concurrency();
  return count == 0 ? 1 : count;
}

}  // namespace quorrel::batch
