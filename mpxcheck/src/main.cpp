// mpxcheck: measures an FM-stereo multiplex WAV file (ITU-R BS.450 pilot-tone system) and says
// whether it is within the usual broadcast tolerances. Exit status: 0 within tolerance, 1 out of
// tolerance, 2 could not analyse.
#include <exception>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "analyse_file.h"
#include "check_error.h"
#include "options.h"
#include "plot_request.h"
#include "report.h"
#include "svg_plot.h"

namespace {

constexpr int exit_pass = 0;
constexpr int exit_out_of_tolerance = 1;
constexpr int exit_cannot_analyse = 2;

int fail(const std::string& message) {
  std::cerr << "mpxcheck: error: " << message << '\n';
  return exit_cannot_analyse;
}

void write_plot(const std::string& path, const Analysis& analysis) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << render_spectrum_svg(plot_for(analysis));
  out.close();
  if (!out) throw CheckError("cannot write the plot");
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
  Options options;
  try {
    options = parse_options(arguments);
  } catch (const CheckError& error) {
    return fail(std::string(error.what()) + " (" + usage_text + ")");
  }
  if (options.help) {
    std::cout << usage_text << '\n';
    return exit_pass;
  }
  Analysis analysis;
  try {
    analysis = analyse_file(options.input_path, options.channel);
  } catch (const CheckError& error) {
    return fail(options.input_path + ": " + error.what());
  } catch (const std::bad_alloc&) {
    return fail(options.input_path + ": too large to hold in memory");
  }
  if (options.plot_path) {
    try {
      write_plot(*options.plot_path, analysis);
    } catch (const CheckError& error) {
      return fail(*options.plot_path + ": " + error.what());
    }
  }
  std::cout << (options.json ? json_report(analysis) : text_report(analysis));
  return analysis.verdict.pass() ? exit_pass : exit_out_of_tolerance;
}
