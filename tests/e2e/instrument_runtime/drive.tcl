# Runs the instrumentation script as qor_cc does for one file:
#   tclsh drive.tcl SCRIPT HEADER DATE FUNC_FILE
# sets qvx_header, qvx_date and qvx_func (the content of FUNC_FILE), runs
# Instrument and prints the date that the script leaves.
lassign $argv script header date func_file
source $script
set qvx_header $header
set qvx_date $date
set channel [open $func_file]
set qvx_func [string trim [read $channel]]
close $channel
Instrument
puts $qvx_date
