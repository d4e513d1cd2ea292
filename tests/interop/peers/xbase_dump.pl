# Prints a DBF table (with its DBT memo file) as Perl's XBase module reads it,
# in the canonical text form of the interoperability tests (README.md).
#
# Usage: xbase_dump.pl TABLE.dbf
# Exit status 0 on success, 2 when XBase cannot read the table.
use strict;
use warnings;
use XBase;

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

sub value_text {
    my ($type, $decimals, $value) = @_;
    if ($type eq 'C') {
        return '' unless defined $value;
        $value =~ s/ +$//;
        return escaped($value);
    }
    return defined $value ? escaped($value) : '' if $type eq 'M';
    if ($type eq 'N') {
        return defined $value ? sprintf('%.*f', $decimals, $value) : 'null';
    }
    return defined $value ? sprintf('%08d', $value) : 'null' if $type eq 'D';
    return defined $value ? ($value ? 'T' : 'F') : '?' if $type eq 'L';
    return "unsupported type $type";
}

# The DBT texts end at the first 0x1A: a text of 511 bytes has its second
# 0x1A at the start of the next block, so "\x1a\x1a" would not be found.
my $table = XBase->new(name => $ARGV[0], memosep => "\x1a")
    or do { print STDERR 'XBase: ', XBase->errstr, "\n"; exit 2; };
my @types    = $table->field_types;
my @lengths  = $table->field_lengths;
my @decimals = $table->field_decimals;
my @names    = $table->field_names;

print join("\t", map { "$names[$_]:$types[$_]:$lengths[$_]:$decimals[$_]" } 0 .. $#names), "\n";
my (@live, @deleted);
for my $number (0 .. $table->last_record) {
    my ($flag, @values) = $table->get_record($number);
    defined $flag
        or do { print STDERR "XBase: record $number: ", $table->errstr, "\n"; exit 2; };
    my $line = join "\t", ($flag ? '*' : '.'),
        map { value_text($types[$_], $decimals[$_], $values[$_]) } 0 .. $#names;
    push @{ $flag ? \@deleted : \@live }, $line;
}
print "$_\n" for @live, @deleted;
