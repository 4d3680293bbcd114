#!/usr/bin/perl
# The load configuration of the Windows program: the program defines it
# (_load_config_used, runtime/windowsentry.cpp) with DependentLoadFlags =
# LOAD_LIBRARY_SEARCH_SYSTEM32, so that Windows 10 version 1607 and later
# take the DLLs it imports directly from the system folder only. GNU ld
# (2.40) links the structure in but does not name it in the PE header:
#
#   load-config.pl set <nm> <exe>   names it there, after the link (<nm>: the
#                                   cross toolchain's nm, which finds it); the
#                                   header's checksum is computed again
#   load-config.pl check <exe>...   fails unless each program's header names a
#                                   load configuration asking for that
use strict;
use warnings;
no warnings 'portable'; # (64-bit addresses)

my $SEARCH_SYSTEM32 = 0x800;
my $LOAD_CONFIG = 10;    # the data directory's entry

sub fail { print STDERR "load-config: @_\n"; exit 1 }

sub read_pe {
    my ($file) = @_;
    open(my $in, '<:raw', $file) or fail "cannot read $file: $!";
    local $/;
    my $pe = <$in>;
    close $in;
    length($pe) > 0x40 or fail "$file is no PE file";
    my $header = unpack('V', substr($pe, 0x3c, 4));
    substr($pe, $header, 4) eq "PE\0\0" or fail "$file is no PE file";
    my $optional = $header + 24;
    unpack('v', substr($pe, $optional, 2)) == 0x20b or fail "$file is no 64-bit Windows program";
    unpack('V', substr($pe, $optional + 108, 4)) > $LOAD_CONFIG or fail "$file has no load configuration entry";
    my %pe = (data => $pe, file => $file, optional => $optional,
              sections => $optional + unpack('v', substr($pe, $header + 20, 2)),
              count => unpack('v', substr($pe, $header + 6, 2)),
              entry => $optional + 112 + 8 * $LOAD_CONFIG);
    return \%pe;
}

# Where in the file the byte at a relative virtual address lies.
sub offset {
    my ($pe, $rva) = @_;
    for my $i (0 .. $pe->{count} - 1) {
        my ($size, $address, $raw_size, $raw) = unpack('V4', substr($pe->{data}, $pe->{sections} + 40 * $i + 8, 16));
        return $raw + $rva - $address if $rva >= $address && $rva < $address + $raw_size;
    }
    fail "$pe->{file}: address $rva lies in no section";
}

# The PE checksum, the header's own field counted as zero.
sub checksum {
    my ($data, $field) = @_;
    substr($data, $field, 4) = "\0\0\0\0";
    $data .= "\0" if length($data) % 2;
    my $sum = 0;
    for (my $at = 0; $at < length $data; $at += 0x10000) {
        $sum += unpack('%32v*', substr($data, $at, 0x10000));
    }
    $sum = ($sum & 0xffff) + ($sum >> 16) while $sum > 0xffff;
    return $sum + length($_[0]);
}

my $mode = shift @ARGV // '';
if ($mode eq 'set' && @ARGV == 2) {
    my ($nm, $file) = @ARGV;
    my $pe = read_pe($file);
    my $base = unpack('Q<', substr($pe->{data}, $pe->{optional} + 24, 8));
    my ($address) = map { /^([0-9a-f]+) . _load_config_used$/ ? hex($1) : () } `$nm "$file"`;
    defined $address or fail "$file defines no _load_config_used";
    my $rva = $address - $base;
    my $size = unpack('V', substr($pe->{data}, offset($pe, $rva), 4));
    substr($pe->{data}, $pe->{entry}, 8) = pack('VV', $rva, $size);
    my $field = $pe->{optional} + 64;
    substr($pe->{data}, $field, 4) = pack('V', checksum($pe->{data}, $field));
    open(my $out, '>:raw', "$file.load-config") or fail "cannot write $file.load-config: $!";
    print $out $pe->{data};
    close $out or fail "cannot write $file.load-config: $!";
    chmod((stat $file)[2] & 07777, "$file.load-config");
    rename("$file.load-config", $file) or fail "cannot replace $file: $!";
} elsif ($mode eq 'check' && @ARGV) {
    for my $file (@ARGV) {
        my $pe = read_pe($file);
        my ($rva, $size) = unpack('VV', substr($pe->{data}, $pe->{entry}, 8));
        $rva && $size >= 0x50 or fail "$file names no load configuration";
        my $flags = unpack('v', substr($pe->{data}, offset($pe, $rva) + 0x4e, 2));
        $flags == $SEARCH_SYSTEM32 or
            fail sprintf("%s: its load configuration's DependentLoadFlags are 0x%x, not 0x%x",
                         $file, $flags, $SEARCH_SYSTEM32);
    }
} else {
    print STDERR "usage: load-config.pl set <nm> <exe> | check <exe>...\n";
    exit 2;
}
