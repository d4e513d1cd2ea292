# Creates a DBF table with Perl's XBase module (a DBT memo file beside it when
# the structure has memo fields) from a description in the canonical text
# form of the interoperability tests (README.md): the structure line, then
# one line per record in the order to write them; "*" records are marked
# deleted after they are written.
#
# Usage: xbase_write.pl TABLE.dbf DESCRIPTION
# Exit status 0 on success, 2 when XBase refuses.
use strict;
use warnings;
use XBase;

sub unescaped {
    my ($text) = @_;
    $text =~ s/\\(x([0-9a-f]{2})|.)/
        defined $2 ? chr hex $2 : $1 eq 't' ? "\t" : $1 eq 'r' ? "\r" : $1 eq 'n' ? "\n" : $1/ge;
    return $text;
}

sub stored_value {
    my ($type, $text) = @_;
    return unescaped($text) if $type eq 'C' || $type eq 'M';
    return undef if $text eq 'null' || $text eq '?';
    return $text eq 'T' ? 1 : 0 if $type eq 'L';
    return $text;
}

sub fail { print STDERR 'XBase: ', @_, "\n"; exit 2; }

my ($path, $description) = @ARGV;
open my $in, '<:raw', $description or fail("$description: $!");
chomp(my $structure = <$in>);
my (@names, @types, @lengths, @decimals);
for my $entry (split /\t/, $structure) {
    my ($name, $type, $length, $decimals) = split /:/, $entry;
    push @names, $name; push @types, $type; push @lengths, $length; push @decimals, $decimals;
}
my $table = XBase->create(name => $path, field_names => \@names, field_types => \@types,
                          field_lengths => \@lengths, field_decimals => \@decimals)
    or fail(XBase->errstr);
my $number = 0;
while (my $line = <$in>) {
    chomp $line;
    my ($flag, @texts) = split /\t/, $line, -1;
    my @values = map { stored_value($types[$_], $texts[$_]) } 0 .. $#names;
    $table->set_record($number, @values) or fail($table->errstr);
    if ($flag eq '*') { $table->delete_record($number) or fail($table->errstr); }
    ++$number;
}
$table->close or fail($table->errstr);
