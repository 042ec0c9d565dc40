# Hook script of qor_cc. The analyser sources this file once per run (static
# mode) and calls the procedures below; they do nothing visible by default.
# The global variable Repository holds the results directory from the first
# file hook on.

namespace eval qor_cc {}

# Called before each source file is analysed.
proc qor_cc::onFile {source} {
}

# Called instead of onFile when -noupdate skips the analysis of a file;
# staResults names the file's cached static results.
proc qor_cc::onFileSkipped {source staResults} {
}

# Called when the analysis of a function (a component) begins.
proc qor_cc::onComponent {name line} {
}

# Called once at the end of the run.
proc qor_cc::doMetrics {} {
}
