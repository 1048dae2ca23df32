namespace xfer::engine {}
