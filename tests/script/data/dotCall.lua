thing.get()
afterDotCall = true
