// Numbered file units: a table from unit number to a connected text file with sequential
// formatted records. Records are read with one trailing CR stripped and written ending CR LF.
// A file already connected to one unit (same device and inode) is never connected to a second
// where either connection may write (IOS_IN_USE); two read-only connections are allowed.
#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace rt {

// I/O status values (Fortran IOSTAT): 0 success, IOS_END end of file, positive values errors.
enum : int {
    IOS_OK = 0,
    IOS_END = -1,
    IOS_NOT_FOUND = 2,      // status old: no such file
    IOS_EXISTS = 3,         // status new: the file exists
    IOS_IN_USE = 4,         // the file is connected to another unit
    IOS_OPEN_FAILED = 5,    // the system refused the open
    IOS_NOT_CONNECTED = 6,  // no file on that unit
    IOS_BAD_VALUE = 7,      // a field or value that cannot be read
    IOS_WRITE_FAILED = 8,
    IOS_BAD_FORMAT = 9,     // an edit-descriptor list that cannot be parsed
    IOS_NOT_PERMITTED = 10, // read on a write-only unit, write on a read-only unit
    IOS_BAD_RECORD = 11,    // a record that is no line of text (see unit_read_record)
};

// Units connected from the start: records written there go to standard output and standard
// error, ending with a line feed only.
constexpr int kStdOutUnit = 6;
constexpr int kStdErrUnit = 0;

enum class FileStatus { Old, New, Replace, Unknown, Scratch };
enum class FileAction { Read, Write, ReadWrite };

struct OpenSpec {
    FileStatus status = FileStatus::Unknown;
    FileAction action = FileAction::ReadWrite;
    bool append = false;            // position at the end (records are added after the last one)
    bool carriage_control = false;  // printer-style: column 1 of every record written is dropped
};

// Connects path to unit. A unit already connected is closed first (as Fortran reopens).
// Returns an IOS_ value. Scratch files ignore path and are deleted on close and on every exit.
int unit_open(int unit, const std::string& path, const OpenSpec& spec);
// Closes unit; delete_file removes the file (scratch files are always removed). Closing a unit
// that is not connected is not an error. IOS_WRITE_FAILED when any record written to the unit
// did not reach the file: a write, a flush or the close itself failed.
int unit_close(int unit, bool delete_file = false);
bool unit_connected(int unit);
std::string unit_path(int unit);  // the path the unit was opened with ("" when not connected)
std::string unit_file_name(int unit);  // the file name of that path, without its folders
// The absolute path of the file on the unit as the system names it now, whatever the current
// directory has become since the open ("" when not connected, or for a scratch file).
std::string unit_file_path(int unit);
// Moves the connection of unit `from` (its file, position and any write failure) to unit `to`,
// so that a file can be kept aside while another takes its unit. IOS_NOT_CONNECTED when `from`
// is not connected, IOS_IN_USE when `to` is.
int unit_move(int from, int to);
// The number of records read or written since the start of the file (the line number, from 1,
// of the record the last read returned; 0 at the start, after a rewind or when not connected).
// A step back counts one record less; records before an append position are not counted.
long unit_record_number(int unit);

// The longest record a read takes: a file without line ends (a binary file chosen by mistake)
// is a damaged file, never read whole into memory.
constexpr std::size_t kMaxRecordLength = std::size_t(1) << 20;

// Reads the next record (one trailing CR stripped). Returns IOS_OK, IOS_END or an error. A record
// longer than kMaxRecordLength, or one that holds a control character on a unit marked as a
// user's text file, cannot be read (IOS_BAD_RECORD); it still counts as a record, so that the
// record number names it.
int unit_read_record(int unit, std::string& record);
// Marks the unit as a user's text file: a record holding a NUL or another control character
// (codes 0-31 other than the tab, and 127) is damage and cannot be read. Opening the unit again
// clears the mark.
void unit_mark_user_text(int unit);
// True when the record the last read returned ended at the end of the file without its line
// feed: a file cut inside its last line ends so.
bool unit_record_unended(int unit);
// True when the last read refused its record (IOS_BAD_RECORD) for being longer than
// kMaxRecordLength, not for a control character.
bool unit_record_too_long(int unit);
// Writes one record, ending it with CR LF. In carriage-control mode the first character is
// dropped (an empty record gives an empty line).
//
// Write failures stay with the unit: once a write or flush has failed (records are buffered, so
// a full disk often shows only when the buffer goes out), every later write, flush, rewind and
// read of that unit and its close return IOS_WRITE_FAILED. The buffer is flushed whenever the
// unit turns from writing to reading and at a rewind or step back.
int unit_write_record(int unit, std::string_view record);
int unit_rewind(int unit);
int unit_backspace(int unit);  // steps back one record
int unit_flush(int unit);

// A mark to cut back to: the length of the file on unit once every record written so far has
// reached it (they are flushed first). -1 when the unit is not connected or a write has failed.
long unit_mark(int unit);
// Drops every record written to unit after `mark` (those still buffered and those that reached
// the file): the file is cut back to that length. A write failure stays with the unit.
int unit_cut_back(int unit, long mark);
// True when the file connected to unit no longer has a name in any folder (deleted, or replaced
// by another file renamed over it): what is written there is lost when the unit closes.
bool unit_file_unlinked(int unit);

// Closes every unit and deletes scratch files (called on every way out, fatal ones included).
// Returns IOS_OK or the failure of the first unit whose records did not all reach their file.
int units_close_all();

// The system's reason for the latest write-side failure on any unit ("No space left on device").
std::string write_failure_reason();

// Text of an IOS_ value for messages.
const char* iostat_text(int iostat);

}  // namespace rt
