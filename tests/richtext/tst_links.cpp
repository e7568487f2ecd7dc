int runLinkTests(int, char **)
{
    return 0;
}
