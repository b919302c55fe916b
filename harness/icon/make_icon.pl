#!/usr/bin/perl
# Builds a 16-colour .ico file from a text pixel map:
#   make_icon.pl PIXELS.txt OUTPUT.ico
# The map holds "image N" lines, each followed by N rows of N characters: a hex digit is a
# colour of the standard 16-colour palette, "." a transparent pixel. "#" lines are comments.
use strict;
use warnings;

my ($source, $target) = @ARGV;
die "usage: make_icon.pl PIXELS.txt OUTPUT.ico\n" unless defined $target;

# The standard 16 colours as red, green, blue.
my @palette = (
  [0, 0, 0], [128, 0, 0], [0, 128, 0], [128, 128, 0], [0, 0, 128], [128, 0, 128],
  [0, 128, 128], [192, 192, 192], [128, 128, 128], [255, 0, 0], [0, 255, 0], [255, 255, 0],
  [0, 0, 255], [255, 0, 255], [0, 255, 255], [255, 255, 255]);
# The file wants blue, green, red, 0.
my $palette_bytes = join '', map { pack 'C4', $_->[2], $_->[1], $_->[0], 0 } @palette;

open my $in, '<', $source or die "$source: $!\n";
my @images;
my $current;
while (my $line = <$in>) {
  chomp $line;
  next if $line =~ /^#/ or $line eq '';
  if ($line =~ /^image (\d+)$/) {
    $current = { size => $1, rows => [] };
    push @images, $current;
    next;
  }
  die "$source:$.: pixels before any image line\n" unless $current;
  die "$source:$.: row is not $current->{size} pixels of 0-9a-f.\n"
    unless $line =~ /^[0-9a-f.]+$/ and length $line == $current->{size};
  push @{ $current->{rows} }, $line;
}
close $in;

sub padded { my ($bytes) = @_; return $bytes . ("\0" x ((4 - length($bytes) % 4) % 4)); }

my @blobs;
for my $image (@images) {
  my $n = $image->{size};
  die "$source: image $n has " . scalar(@{ $image->{rows} }) . " rows\n"
    unless @{ $image->{rows} } == $n;
  my ($colours, $mask) = ('', '');
  # Rows are stored bottom row first.
  for my $row (reverse @{ $image->{rows} }) {
    my ($nibbles, $bits) = ('', '');
    for my $pixel (split //, $row) {
      $nibbles .= $pixel eq '.' ? '0' : $pixel;
      $bits .= $pixel eq '.' ? '1' : '0';
    }
    $colours .= padded(pack 'H*', $nibbles);
    $mask .= padded(pack 'B*', $bits);
  }
  # BITMAPINFOHEADER: the height counts the colour and the mask halves.
  my $header = pack 'VVVvvVVVVVV', 40, $n, 2 * $n, 1, 4, 0, length($colours) + length($mask),
    0, 0, 16, 0;
  push @blobs, { size => $n, bytes => $header . $palette_bytes . $colours . $mask };
}

my $offset = 6 + 16 * @blobs;
my $file = pack 'vvv', 0, 1, scalar @blobs;
for my $blob (@blobs) {
  $file .= pack 'CCCCvvVV', $blob->{size}, $blob->{size}, 16, 0, 1, 4, length $blob->{bytes},
    $offset;
  $offset += length $blob->{bytes};
}
$file .= $_->{bytes} for @blobs;

open my $out, '>:raw', $target or die "$target: $!\n";
print $out $file;
close $out or die "$target: $!\n";
