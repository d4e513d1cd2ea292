# Prints the entries of an NTX index file as Perl's XBase::Index walks it,
# one line per entry in the order it finds them: the key, a tab, the record
# number. Character keys are escaped as in the canonical text form (trailing
# blanks kept); numeric keys are printed as the number XBase decodes.
#
# Usage: xbase_ntx_dump.pl INDEX.ntx C|N
# Exit status 0 on success, 2 when XBase cannot read the index.
use strict;
use warnings;
use XBase::Index;

sub escaped {
    my ($text) = @_;
    my $out = '';
    for my $byte (unpack 'C*', $text) {
        if    ($byte == 0x5C) { $out .= '\\\\'; }
        elsif ($byte == 0x09) { $out .= '\\t'; }
        elsif ($byte == 0x0D) { $out .= '\\r'; }
        elsif ($byte == 0x0A) { $out .= '\\n'; }
        elsif ($byte >= 0x20 && $byte <= 0x7E) { $out .= chr $byte; }
        else  { $out .= sprintf '\\x%02x', $byte; }
    }
    return $out;
}

my ($file, $type) = @ARGV;
die "usage: xbase_ntx_dump.pl INDEX.ntx C|N\n" unless defined $type;
my $index = XBase::Index->new($file, 'type' => $type);
if (not defined $index) {
    print STDERR XBase::Index->errstr;
    exit 2;
}
$index->prepare_select;
binmode STDOUT;
while (my ($key, $record) = $index->fetch) {
    my $text = $type eq 'N' ? $key : escaped($key);
    print "$text\t$record\n";
}
exit 0;
