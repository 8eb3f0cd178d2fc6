# hz2book's FreePWING parser. hz2book reads the six pages and the search
# settings of harukaze.ebs, and writes what FreePWING is to be told as a
# stream of lines (see src/epwing/book_text.h); this script, run by fpwmake
# in the book's work directory, replays the stream through FreePWING's
# documented interface, FreePWING::FPWUtils::*. It is the one piece in
# Perl because that interface is Perl:
#
#   perl parser.pl -workdir work STREAM
#
# Two processes share the work: this one reads the stream (a pipe that
# hz2book writes as this script reads, or a file) and writes the text, the
# menu and the copyright notice; a second one, forked before anything is
# written, writes the headings and the search words, which this one hands
# it through a pipe with each entry's text position. The stream ends in
# "Z": a stream without it was cut short, and makes no book.
#
# Every string handed to FreePWING is bytes (EUC-JP of JIS X 0208 and
# ASCII): strings carrying Perl's UTF-8 flag make FreePWING's buffers slow.
use strict;
use warnings;
use bytes;
use POSIX ();
use FreePWING::FPWUtils::FPWParser;

my ($stream) = @ARGV;
die "usage: parser.pl -workdir DIR STREAM\n" unless defined $stream;

my ($text, $menu, $copyright);
initialize_fpwparser('text' => \$text, 'menu' => \$menu, 'copyright' => \$copyright);

sub failed {
  my ($object, $where) = @_;
  die "parser.pl: $stream, $where: " . $object->error_message() . "\n";
}

# ---------------------------------------------------------------------------
# The second process: headings, search words and keyword-search words.
#   E<text position>   a new entry        H<text> h<gaiji>   its heading
#   W<word> K<word>    its search words and keyword-search words

sub index_words {
  my $from = shift;
  my $heading = FreePWING::FPWUtils::Heading->new();
  $heading->open() or failed($heading, 'headings');
  # Opened with their first word: FreePWING's indexer cannot take an empty
  # word list.
  my ($words, $keywords);
  my $text_position;
  while (defined(my $line = <$from>)) {
    chop $line;
    my $op = substr($line, 0, 1, '');
    if ($op eq 'W' || $op eq 'K') {
      my $list = $op eq 'W' ? \$words : \$keywords;
      if (!$$list) {
        $$list = $op eq 'W' ? FreePWING::FPWUtils::Word2->new() : FreePWING::FPWUtils::KeyWord->new();
        $$list->open() or failed($$list, 'words');
      }
      $$list->add_entry($line, $heading->entry_position(), $text_position) or failed($$list, "word $line");
    }
    elsif ($op eq 'H') { $heading->add_text($line) or failed($heading, 'heading'); }
    elsif ($op eq 'E') {
      $heading->new_entry() or failed($heading, 'heading');
      $text_position = $line;
    }
    elsif ($op eq 'h') { $heading->add_full_user_character($line) or failed($heading, 'heading'); }
  }
  $heading->close() or failed($heading, 'headings');
  $words->close() or failed($words, 'words') if $words;
  $keywords->close() or failed($keywords, 'words') if $keywords;
}

pipe(my $from_text, my $to_index) or die "parser.pl: no pipe: $!\n";
my $index = fork();
die "parser.pl: cannot fork: $!\n" unless defined $index;
if ($index == 0) {
  close $to_index;
  my $ok = eval { index_words($from_text); 1 };
  print STDERR $@ unless $ok;
  # Nothing of the first process's objects is to be flushed or closed here.
  POSIX::_exit($ok ? 0 : 1);
}
close $from_text;
binmode $to_index;

# ---------------------------------------------------------------------------
# This process: the text, the menu and the copyright notice.

my %object = (text => $text, menu => $menu, copyright => $copyright);
my $out = $text;
my $line_number = 0;
my $complete = 0;

open(my $in, '<:raw', $stream) or die "parser.pl: cannot read $stream: $!\n";
while (defined(my $line = <$in>)) {
  $line_number++;
  chop $line;
  my $op = substr($line, 0, 1, '');
  # The most frequent first.
  if ($op eq 'T') { $out->add_text($line) or failed($out, "line $line_number"); }
  elsif ($op eq 'W') { print $to_index "W$line\n"; }
  elsif ($op eq 'G') { $out->add_full_user_character($line) or failed($out, "line $line_number"); }
  elsif ($op eq 'N') { $out->add_newline() or failed($out, "line $line_number"); }
  elsif ($op eq 'K' || $op eq 'H' || $op eq 'h') { print $to_index "$op$line\n"; }
  elsif ($op eq '[') { $out->add_keyword_start() or failed($out, "line $line_number"); }
  elsif ($op eq ']') { $out->add_keyword_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'E') {
    $text->new_entry() or failed($text, "line $line_number");
    print $to_index "E", $text->entry_position(), "\n";
  }
  elsif ($op eq 'r') { $out->add_reference_start() or failed($out, "line $line_number"); }
  elsif ($op eq 'R') { $out->add_reference_end($line) or failed($out, "line $line_number"); }
  elsif ($op eq 's') { $out->add_subscript_start() or failed($out, "line $line_number"); }
  elsif ($op eq 'S') { $out->add_subscript_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'b') { $out->add_emphasis_start() or failed($out, "line $line_number"); }
  elsif ($op eq 'B') { $out->add_emphasis_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'i') { $out->add_font_start('italic') or failed($out, "line $line_number"); }
  elsif ($op eq 'I') { $out->add_font_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'u') { $out->add_superscript_start() or failed($out, "line $line_number"); }
  elsif ($op eq 'U') { $out->add_superscript_end() or failed($out, "line $line_number"); }
  elsif ($op eq '@') { $out->add_entry_tag($line) or failed($out, "line $line_number"); }
  elsif ($op eq '#') { $out->add_tag($line) or failed($out, "line $line_number"); }
  elsif ($op eq 'j') { $out->add_jpeg_graphic_start($line) or failed($out, "line $line_number"); }
  elsif ($op eq 'J') { $out->add_jpeg_graphic_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'm') { $out->add_color_graphic_start($line) or failed($out, "line $line_number"); }
  elsif ($op eq 'M') { $out->add_color_graphic_end() or failed($out, "line $line_number"); }
  elsif ($op eq 'C') { $out->new_context() or failed($out, "line $line_number"); }
  elsif ($op eq 'O') {
    $out = $object{$line} or die "parser.pl: $stream, line $line_number: no object $line\n";
  }
  elsif ($op eq 'P') { print STDERR "hz2book-progress entries $line\n"; }
  elsif ($op eq 'Z') { $complete = 1; last; }
  else { die "parser.pl: $stream, line $line_number: unknown operation \"$op\"\n"; }
}
close $in;
die "parser.pl: $stream ends after line $line_number, before its end\n" unless $complete;

close $to_index or die "parser.pl: the index process failed\n";
waitpid($index, 0);
die "parser.pl: the index process failed\n" if $? != 0;
finalize_fpwparser('text' => \$text, 'menu' => \$menu, 'copyright' => \$copyright);
