this is not lua
