# J3 in Perl: 200-byte records, bytes 1-7 ge "5000000", bytes 1-7 and 28-57 joined.
open(my $f, "<:raw", $ARGV[0]) or die "$ARGV[0]: $!";
binmode STDOUT;
$/ = \200;
while (my $r = <$f>) {
    print substr($r, 0, 7), substr($r, 27, 30), "\r\n" if substr($r, 0, 7) ge "5000000";
}
