# (filled in by its piece)
