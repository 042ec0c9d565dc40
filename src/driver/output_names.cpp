#include "driver/output_names.hpp"

#include <array>

#include "foundation/containers.hpp"
#include "foundation/file_lookup.hpp"
#include "foundation/text.hpp"

namespace qor {

namespace {

constexpr std::array<std::string_view, 9> kOutputExtensions = {
    ".o", ".obj", ".inst.obj", ".sta", ".arc", ".mtr", ".dck", ".inst.c", ".inst.o"};

bool is_output_extension(std::string_view rest) {
    for (auto ext : kOutputExtensions) {
        if (rest == ext) return true;
    }
    return false;
}

// The last component cut after its last '.', the dot kept.
std::string source_stem(std::string_view source) {
    std::string_view name = last_component(source);
    size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string(name) + "." : std::string(name.substr(0, dot + 1));
}

// Everything after the last separator replaced by `name`.
std::string with_last_component(std::string_view path, std::string_view name) {
    return std::string(directory_part(path)) + std::string(name);
}

// An output option may name its directory with environment variables; a
// reference to an unset variable stays as written, so that opening the file
// reports the name. The source's own name is never expanded: a '$' in it is
// a character of the name.
std::string expanded_option(const std::string& text) { return expand_name(text, 0).value_or(text); }

}  // namespace

std::string strip_output_extension(std::string_view name) {
    size_t sep = last_separator(name);
    size_t from = sep == std::string_view::npos ? 0 : sep + 1;
    for (size_t dot = name.find('.', from); dot != std::string_view::npos; dot = name.find('.', dot + 1)) {
        if (is_output_extension(name.substr(dot))) return std::string(name.substr(0, dot));
    }
    return std::string(name);
}

std::string result_file_name(const RunOptions& options, std::string_view source, std::string_view ext) {
    std::string name;
    if (options.said.source_files.size() < 2 && options.said.output_file && options.said.compile_only)
        name = expanded_option(*options.said.output_file) + "." + std::string(ext);
    else if (options.said.output_directory)
        name = expanded_option(*options.said.output_directory) + "/" + source_stem(source) + std::string(ext);
    else
        name = source_stem(source) + std::string(ext);
    return reduce_double_slashes(name);
}

std::string instrumented_file_name(const RunOptions& options, std::string_view source, char kind) {
    if (!options.settings.prefix_given && !options.settings.suffix_given)
        return result_file_name(options, source, kind == 'c' ? "inst.c" : "inst.h");

    std::string base(source);
    if (options.said.prefix) {
        std::string dir = std::string(directory_part(source)) + *options.said.prefix;
        char last = options.said.prefix->back();
        if (last == '/' || last == '\\') make_directories(dir);
        base = dir + std::string(last_component(source));
    }
    std::string ext;
    if (!options.settings.suffix_given)
        ext = std::string("inst.") + kind;
    else if (!options.said.suffix)
        ext = options.said.prefix ? std::string(1, kind) : std::string("inst.") + kind;
    else
        ext = *options.said.suffix + "." + kind;

    std::string_view last = last_component(base);
    std::string stem(last.substr(0, last.empty() ? 0 : last.size() - 1));
    return reduce_double_slashes(std::string(directory_part(base)) + stem + ext);
}

std::string system_text_file_name(const RunOptions& options, std::string_view source) {
    std::string header = instrumented_file_name(options, source, 'h');
    return header.substr(0, header.size() - 1) + "sys.h";
}

std::string results_directory_of(const RunOptions& options, std::string_view source) {
    std::string name = result_file_name(options, source, "dummy");
    size_t sep = last_separator(name);
    return sep == std::string::npos ? "." : name.substr(0, sep);
}

std::string build_state_file_name(const RunOptions& options, std::string_view source) {
    return with_last_component(result_file_name(options, source, "build_state.srr"), "build_state.srr");
}

std::string cache_file_name(const RunOptions& options, std::string_view source) {
    std::string name = result_file_name(options, source, options.settings.program_name);
    return std::string(directory_part(name)) + "cache/" + std::string(last_component(name));
}

std::string object_output_name(const RunOptions& options) {
    return strip_output_extension(options.said.output_file.value_or("")) + ".o";
}

std::vector<std::string> instrumented_object_names(const std::vector<std::string>& objects) {
    std::vector<std::string> renamed;
    for (const auto& object : objects) {
        std::string candidate;
        if (object.size() > 4 && ends_with_icase(object, ".obj"))
            candidate = object.substr(0, object.size() - 4) + ".inst.obj";
        else
            candidate = object.substr(0, object.empty() ? 0 : object.size() - 1) + "inst.o";
        append_unique(renamed, is_readable(candidate) ? candidate : object);
    }
    return renamed;
}

}  // namespace qor
